#include "tools/camsim/MoiCodec.h"

#include "tools/camsim/DottedQuad.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace camsim {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic{0x4D, 0x4F, 0x5F, 0x49}; // "MO_I", no terminator
constexpr std::size_t kCommandOffset = 4;
constexpr std::size_t kReservedAOffset = 6;
constexpr std::size_t kReservedAWidth = 9;
constexpr std::size_t kLengthOffset = 15;
constexpr std::size_t kReservedBOffset = 19;
constexpr std::size_t kReservedBWidth = 4;
constexpr std::array<std::uint8_t, 4> kSearchPayloadBytes{0x00, 0x00, 0x00, 0x01};

// Search reply payload, offsets from the end of the header.
namespace reply {
constexpr std::size_t kP2p = 0;
constexpr std::size_t kName = 13;
constexpr std::size_t kIp = 34;
constexpr std::size_t kMask = 38;
constexpr std::size_t kGateway = 42;
constexpr std::size_t kDns = 46;
// 50..53 unused
constexpr std::size_t kSysVersion = 54;
constexpr std::size_t kAppVersion = 58;
constexpr std::size_t kPort = 62;
// 64 unused
} // namespace reply

// Set-network payload, offsets from the end of the header.
namespace setnet {
constexpr std::size_t kReservedWidth = 4;
constexpr std::size_t kP2p = 4;
constexpr std::size_t kUser = 17;
constexpr std::size_t kPassword = 30;
constexpr std::size_t kTextWidth = 13;
constexpr std::size_t kIp = 43;
constexpr std::size_t kMask = 47;
constexpr std::size_t kGateway = 51;
constexpr std::size_t kDns = 55;
constexpr std::size_t kPort = 59;
} // namespace setnet

std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::uint32_t{bytes[offset]} | (std::uint32_t{bytes[offset + 1]} << 8) |
           (std::uint32_t{bytes[offset + 2]} << 16) | (std::uint32_t{bytes[offset + 3]} << 24);
}

bool AllZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

// Up to the first NUL, never past width bytes.
std::string Text(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto end = begin + static_cast<std::ptrdiff_t>(width);
    return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

std::string Address(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return DottedQuad::Format({bytes[offset], bytes[offset + 1], bytes[offset + 2], bytes[offset + 3]});
}

void PutText(std::vector<std::uint8_t>& packet, std::size_t offset, std::size_t width, const std::string& text) {
    std::copy_n(text.begin(), std::min(width, text.size()), packet.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutQuad(std::vector<std::uint8_t>& packet, std::size_t offset, const std::string& text) {
    const DottedQuad::Bytes bytes = DottedQuad::Parse(text).value_or(DottedQuad::Bytes{});
    std::copy(bytes.begin(), bytes.end(), packet.begin() + static_cast<std::ptrdiff_t>(offset));
}

} // namespace

std::optional<std::uint16_t> MoiCodec::Command(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kCommandOffset + 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(datagram[kCommandOffset] | (datagram[kCommandOffset + 1] << 8));
}

MoiCodec::Request MoiCodec::Classify(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize)
        return {Kind::Other, "short"};
    if (!std::equal(kMagic.begin(), kMagic.end(), datagram.begin()))
        return {Kind::Other, "magic"};
    if (!AllZero(datagram.subspan(kReservedAOffset, kReservedAWidth)) ||
        !AllZero(datagram.subspan(kReservedBOffset, kReservedBWidth)))
        return {Kind::Other, "reserved"};
    const std::uint32_t length = ReadLe32(datagram, kLengthOffset);
    const std::span<const std::uint8_t> payload = datagram.subspan(kHeaderSize);
    switch (*Command(datagram)) {
    case kSearch:
        if (length != kSearchPayload || payload.size() != kSearchPayload)
            return {Kind::Other, "search-length"};
        if (!std::equal(kSearchPayloadBytes.begin(), kSearchPayloadBytes.end(), payload.begin()))
            return {Kind::Other, "search-payload"};
        return {Kind::Search, {}};
    case kSetNetwork:
        if (length != kSetNetworkPayload || payload.size() != kSetNetworkPayload)
            return {Kind::Other, "set-length"};
        if (!AllZero(payload.first(setnet::kReservedWidth)))
            return {Kind::Other, "set-reserved"};
        return {Kind::SetNetwork, {}};
    case kSearchReply:
        return {Kind::Other, "reply"};
    default:
        return {Kind::Other, "command"};
    }
}

NetworkChange MoiCodec::SetChange(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize + kSetNetworkPayload)
        throw std::invalid_argument("MO_I set-network request too short");
    const std::span<const std::uint8_t> p = datagram.subspan(kHeaderSize, kSetNetworkPayload);
    NetworkChange change;
    change.dh = false;
    change.p2p = Text(p, setnet::kP2p, setnet::kTextWidth);
    change.p2pWidth = kP2pWidth;
    change.user = Text(p, setnet::kUser, setnet::kTextWidth);
    change.password = Text(p, setnet::kPassword, setnet::kTextWidth);
    change.ip = Address(p, setnet::kIp);
    change.mask = Address(p, setnet::kMask);
    change.gateway = Address(p, setnet::kGateway);
    change.dns = Address(p, setnet::kDns);
    change.port = static_cast<std::uint16_t>((p[setnet::kPort] << 8) | p[setnet::kPort + 1]); // big-endian
    return change;
}

std::vector<std::uint8_t> MoiCodec::SearchReply(const SimCamera& camera) {
    std::vector<std::uint8_t> packet(kHeaderSize + kSearchReplyPayload, 0);
    std::copy(kMagic.begin(), kMagic.end(), packet.begin());
    packet[kCommandOffset] = kSearchReply & 0xFFU;
    packet[kCommandOffset + 1] = kSearchReply >> 8;
    for (std::size_t i = 0; i < 4; ++i)
        packet[kLengthOffset + i] = static_cast<std::uint8_t>((kSearchReplyPayload >> (8 * i)) & 0xFFU);

    const std::size_t p = kHeaderSize;
    PutText(packet, p + reply::kP2p, kP2pWidth, camera.p2p);
    PutText(packet, p + reply::kName, kNameWidth, camera.name);
    PutQuad(packet, p + reply::kIp, camera.ip);
    PutQuad(packet, p + reply::kMask, camera.mask);
    PutQuad(packet, p + reply::kGateway, camera.gateway);
    PutQuad(packet, p + reply::kDns, camera.dns);
    PutQuad(packet, p + reply::kSysVersion, camera.sysVersion);
    PutQuad(packet, p + reply::kAppVersion, camera.appVersion);
    packet[p + reply::kPort] = static_cast<std::uint8_t>(camera.port >> 8); // big-endian
    packet[p + reply::kPort + 1] = static_cast<std::uint8_t>(camera.port & 0xFFU);
    return packet;
}

} // namespace camsim
