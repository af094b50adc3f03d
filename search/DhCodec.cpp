#include "search/DhCodec.h"

#include <cstring>

namespace {

constexpr std::uint8_t kMagic0 = 0x44; // 'D'
constexpr std::uint8_t kMagic1 = 0x48; // 'H'

// Little-endian read in which bytes beyond the datagram count as zero.
std::uint32_t ReadLe(std::span<const std::uint8_t> d, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const std::size_t at = offset + i;
        const std::uint32_t byte = at < d.size() ? d[at] : 0U;
        value |= byte << (8 * i);
    }
    return value;
}

std::array<std::uint8_t, kDhHeaderSize> Header(std::uint16_t command) {
    return {kMagic0, kMagic1, static_cast<std::uint8_t>(command & 0xFF),
            static_cast<std::uint8_t>(command >> 8)};
}

} // namespace

DhCheckResult CheckDhDatagram(std::span<const std::uint8_t> datagram) {
    DhCheckResult result;
    if (ReadLe(datagram, 0, 1) != kMagic0 || ReadLe(datagram, 1, 1) != kMagic1)
        return result;
    switch (ReadLe(datagram, 2, 2)) {
    case DH_CMD_SEARCH_REPLY:
        // The length is not checked: a short reply is a record whose missing bytes are zero.
        result.verdict = DhVerdict::SearchReply;
        result.code = ReadLe(datagram, 2, 4);
        result.length = static_cast<std::int32_t>(datagram.size() - kDhHeaderSize);
        result.payload = datagram.data() + kDhHeaderSize;
        break;
    case DH_CMD_SET_REPLY:
        if (ReadLe(datagram, kDhSetReplyStatusOffset, 4) == DH_SET_ACK)
            result.verdict = DhVerdict::SetAck;
        break;
    default:
        break;
    }
    return result;
}

std::array<std::uint8_t, kDhSearchRequestSize> BuildDhSearchRequest() {
    return Header(DH_CMD_SEARCH);
}

std::array<std::uint8_t, kDhSetRequestSize> BuildDhSetRequest(const CameraInfo& info) {
    std::array<std::uint8_t, kDhSetRequestSize> packet{};
    const auto header = Header(DH_CMD_SET);
    std::memcpy(packet.data(), header.data(), header.size());
    // The record goes out byte for byte: fields the program never edits return to the camera as sent.
    std::memcpy(packet.data() + kDhHeaderSize, &info, sizeof info);
    return packet;
}
