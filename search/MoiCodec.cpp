#include "search/MoiCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/host/TextScan.h"

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {0x4D, 0x4F, 0x5F, 0x49}; // "MO_I", no terminator
constexpr std::array<std::uint8_t, kMoiSearchPayloadSize> kSearchPayload = {0x00, 0x00, 0x00, 0x01};
constexpr char kMoiExtraAddr[] = "0.0.0.0";

void WriteLe(std::uint8_t* at, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteHeader(std::uint8_t* packet, std::uint16_t command, std::uint32_t payloadLength) {
    std::memcpy(packet, kMagic.data(), kMagic.size());
    WriteLe(packet + kMoiCommandOffset, command, 2);
    WriteLe(packet + kMoiLengthOffset, payloadLength, 4);
}

// Four address bytes as "%d.%d.%d.%d" with every byte unsigned, into a cleared field.
template <std::size_t N> void SetDotted(char (&field)[N], const std::uint8_t* b) {
    char text[N];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{b[0]}, unsigned{b[1]}, unsigned{b[2]},
                  unsigned{b[3]});
    SetFieldText(field, text);
}

std::uint8_t PartByte(std::string_view part) {
    return static_cast<std::uint8_t>(host::ScanIntLowBits(part) & 0xFFU);
}

} // namespace

MoiCheckResult CheckMoiDatagram(std::span<const std::uint8_t> datagram) {
    MoiCheckResult result;
    const std::size_t n = datagram.size();
    if (n < kMoiHeaderSize || std::memcmp(datagram.data(), kMagic.data(), kMagic.size()) != 0)
        return result;
    const std::uint32_t command = datagram[kMoiCommandOffset] | (datagram[kMoiCommandOffset + 1] << 8);
    if (command != MOI_CMD_SEARCH_REPLY)
        return result;
    std::uint32_t declared = 0;
    for (std::size_t i = 0; i < 4; ++i)
        declared |= std::uint32_t{datagram[kMoiLengthOffset + i]} << (8 * i);
    // The declared length must cover what follows the header; declaring more than arrives is fine.
    if (declared < n - kMoiHeaderSize)
        return result;
    result.accepted = true;
    result.code = MOI_CMD_SEARCH_REPLY;
    result.length = static_cast<std::int32_t>(kMoiSearchReplyPayloadSize);
    result.payload = datagram.data() + kMoiHeaderSize;
    return result;
}

std::array<std::uint8_t, kMoiSearchRequestSize> BuildMoiSearchRequest() {
    std::array<std::uint8_t, kMoiSearchRequestSize> packet{};
    WriteHeader(packet.data(), MOI_CMD_SEARCH, kMoiSearchPayloadSize);
    std::memcpy(packet.data() + kMoiHeaderSize, kSearchPayload.data(), kSearchPayload.size());
    return packet;
}

std::array<std::uint8_t, 4> MoiAddressBytes(std::string_view text) {
    std::array<std::uint8_t, 4> bytes{};
    std::size_t part = 0;
    std::size_t start = 0;
    while (part < bytes.size() && start <= text.size()) {
        const std::size_t dot = std::min(text.find('.', start), text.size());
        if (dot > start)
            bytes[part++] = PartByte(text.substr(start, dot - start));
        start = dot + 1;
    }
    return bytes;
}

std::array<std::uint8_t, kMoiSetNetworkRequestSize> BuildMoiSetNetworkRequest(const CameraInfo& info) {
    std::array<std::uint8_t, kMoiSetNetworkRequestSize> packet{};
    WriteHeader(packet.data(), MOI_CMD_SET_NETWORK, kMoiSetNetworkPayloadSize);
    std::uint8_t* p = packet.data() + kMoiHeaderSize;
    // The first 13 bytes of each field, byte for byte: a longer text is cut and has no terminator.
    std::memcpy(p + moi_set::kP2pId, info.szP2pId, moi_set::kTextWidth);
    std::memcpy(p + moi_set::kUser, info.szUser, moi_set::kTextWidth);
    std::memcpy(p + moi_set::kPassword, info.szPassword, moi_set::kTextWidth);
    const auto put = [p](std::size_t offset, std::string_view text) {
        const auto bytes = MoiAddressBytes(text);
        std::memcpy(p + offset, bytes.data(), bytes.size());
    };
    put(moi_set::kIp, FieldText(info.szIp));
    put(moi_set::kMask, FieldText(info.szMask));
    put(moi_set::kGateway, FieldText(info.szGateway));
    put(moi_set::kDns, FieldText(info.szDns));
    const std::uint16_t port = HttpPort(info);
    p[moi_set::kHttpPort] = static_cast<std::uint8_t>(port >> 8);
    p[moi_set::kHttpPort + 1] = static_cast<std::uint8_t>(port & 0xFF);
    return packet;
}

CameraInfo DecodeMoiSearchReply(const std::uint8_t* payload) {
    return DecodeMoiSearchReply(std::span<const std::uint8_t>(payload, moi_reply::kBytesRead));
}

CameraInfo DecodeMoiSearchReply(std::span<const std::uint8_t> payload) {
    std::array<std::uint8_t, moi_reply::kBytesRead> p{};
    std::memcpy(p.data(), payload.data(), std::min(payload.size(), p.size()));

    CameraInfo info = ZeroCameraInfo();
    SetDotted(info.szIp, p.data() + moi_reply::kIp);
    SetDotted(info.szMask, p.data() + moi_reply::kMask);
    SetDotted(info.szGateway, p.data() + moi_reply::kGateway);
    SetDotted(info.szDns, p.data() + moi_reply::kDns);
    SetFieldText(info.szExtraAddr, kMoiExtraAddr);
    SetHttpPort(info,
                static_cast<std::uint16_t>((p[moi_reply::kHttpPort] << 8) | p[moi_reply::kHttpPort + 1]));
    // The rest of each field stays zero, so both texts end within their fields.
    std::memcpy(info.szP2pId, p.data() + moi_reply::kP2pId, moi_reply::kP2pIdWidth);
    std::memcpy(info.szName, p.data() + moi_reply::kName, moi_reply::kNameWidth);
    SetDotted(info.szSysVersion, p.data() + moi_reply::kSysVersion);
    SetDotted(info.szAppVersion, p.data() + moi_reply::kAppVersion);
    return info;
}
