#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "cameras/CameraInfo.h"

// The MO_I protocol on UDP port 10000. Every packet starts with a packed 23-byte header:
//   0 "MO_I" | 4 command, 16-bit LE | 6 nine reserved bytes | 15 payload length, 32-bit LE | 19 four reserved
//   bytes
// Header numbers are little-endian; the HTTP port in payloads is big-endian; an address travels as
// four bytes, first part first. The values below are on the wire: never change them.

inline constexpr std::uint16_t kMoiPort = 10000;

inline constexpr std::uint16_t MOI_CMD_SEARCH = 0;
inline constexpr std::uint16_t MOI_CMD_SEARCH_REPLY = 1;
inline constexpr std::uint16_t MOI_CMD_SET_NETWORK = 2;

inline constexpr std::size_t kMoiHeaderSize = 23;
inline constexpr std::size_t kMoiCommandOffset = 4;
inline constexpr std::size_t kMoiLengthOffset = 15;
inline constexpr std::size_t kMoiSearchPayloadSize = 4;
inline constexpr std::size_t kMoiSearchReplyPayloadSize = 65;
inline constexpr std::size_t kMoiSetNetworkPayloadSize = 61;
inline constexpr std::size_t kMoiSearchRequestSize = kMoiHeaderSize + kMoiSearchPayloadSize;
inline constexpr std::size_t kMoiSetNetworkRequestSize = kMoiHeaderSize + kMoiSetNetworkPayloadSize;
static_assert(kMoiSearchRequestSize == 27 && kMoiSetNetworkRequestSize == 84);

// Search reply payload, from byte 23 of the datagram.
namespace moi_reply {
inline constexpr std::size_t kP2pId = 0; // 13 bytes
inline constexpr std::size_t kName = 13; // 21 bytes, UTF-8
inline constexpr std::size_t kIp = 34;   // 4 bytes each: address, mask, gateway, DNS
inline constexpr std::size_t kMask = 38;
inline constexpr std::size_t kGateway = 42;
inline constexpr std::size_t kDns = 46;
inline constexpr std::size_t kSysVersion = 54; // 4 numbers 0..255
inline constexpr std::size_t kAppVersion = 58;
inline constexpr std::size_t kHttpPort = 62; // big-endian
inline constexpr std::size_t kP2pIdWidth = 13;
inline constexpr std::size_t kNameWidth = 21;
inline constexpr std::size_t kBytesRead = 64; // payload bytes 0..63 are read, byte 64 is not
} // namespace moi_reply

// Set-network request payload, from byte 23 of the packet.
namespace moi_set {
inline constexpr std::size_t kP2pId = 4; // 13 bytes each: identifier, user, password
inline constexpr std::size_t kUser = 17;
inline constexpr std::size_t kPassword = 30;
inline constexpr std::size_t kIp = 43; // 4 bytes each: address, mask, gateway, DNS
inline constexpr std::size_t kMask = 47;
inline constexpr std::size_t kGateway = 51;
inline constexpr std::size_t kDns = 55;
inline constexpr std::size_t kHttpPort = 59; // big-endian
inline constexpr std::size_t kTextWidth = 13;
} // namespace moi_set

struct MoiCheckResult {
    bool accepted = false;
    // For an accepted search reply, the callback's arguments: code 1, length 65, payload = the
    // datagram from byte 23.
    std::uint32_t code = 0;
    std::int32_t length = 0;
    const std::uint8_t* payload = nullptr;
};

// Accepts a search reply: at least a header, "MO_I", command 1, and a length field no smaller than
// the bytes that follow the header. Nothing is read outside the span.
MoiCheckResult CheckMoiDatagram(std::span<const std::uint8_t> datagram);

std::array<std::uint8_t, kMoiSearchRequestSize> BuildMoiSearchRequest();
std::array<std::uint8_t, kMoiSetNetworkRequestSize> BuildMoiSetNetworkRequest(const CameraInfo& info);

// An address text as four wire bytes: split at dots (empty parts skipped), each part read as a
// decimal integer (leading blanks and a sign allowed, reading stops at a non-digit, no digits give 0)
// whose low 8 bits become the byte; missing parts give 0. Parts after the fourth are ignored: the
// request has room for four bytes, and every address the program writes has exactly four parts.
std::array<std::uint8_t, 4> MoiAddressBytes(std::string_view text);

// The search reply payload as a CameraInfo, field by field. The pointer form reads payload bytes
// 0..63, as the receiver's cleared buffer guarantees; the span form reads bytes past its end as zero.
CameraInfo DecodeMoiSearchReply(const std::uint8_t* payload);
CameraInfo DecodeMoiSearchReply(std::span<const std::uint8_t> payload);
