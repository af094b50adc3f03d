#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "cameras/CameraInfo.h"

// The DH protocol on UDP port 8600. A packet is "DH" (0x44 0x48), a 16-bit little-endian command,
// then the command's body; search replies and set requests carry a CameraInfo unchanged.
// The values below are on the wire: never change them.

inline constexpr std::uint16_t kDhPort = 8600;

inline constexpr std::uint16_t DH_CMD_SEARCH = 0x0101;
inline constexpr std::uint16_t DH_CMD_SET = 0x0102;
inline constexpr std::uint16_t DH_CMD_SEARCH_REPLY = 0x0801;
inline constexpr std::uint16_t DH_CMD_SET_REPLY = 0x0802;
inline constexpr std::uint32_t DH_SET_ACK = 0x00008000; // set reply status that signals the ack event

inline constexpr std::size_t kDhHeaderSize = 4;
inline constexpr std::size_t kDhSearchRequestSize = kDhHeaderSize;
inline constexpr std::size_t kDhSetRequestSize = kDhHeaderSize + sizeof(CameraInfo);
inline constexpr std::size_t kDhSetReplyStatusOffset = kDhHeaderSize + sizeof(CameraInfo);
static_assert(kDhSetRequestSize == 324 && kDhSetReplyStatusOffset == 324);

// What a received datagram means to the DH receiver.
enum class DhVerdict { Drop, SearchReply, SetAck };

struct DhCheckResult {
    DhVerdict verdict = DhVerdict::Drop;
    // For a search reply, the callback's arguments: code = bytes 2-5 little-endian (its low 16 bits
    // are the command), length = datagram length - 4, payload = the datagram from byte 4.
    std::uint32_t code = 0;
    std::int32_t length = 0;
    const std::uint8_t* payload = nullptr;
};

// Bytes past the end of the datagram read as zero, as in the receiver's cleared buffer; nothing is
// read outside the span. The callback may read a full record from payload only when the datagram
// lies in a zero-filled buffer of at least kDhSetRequestSize bytes (the receiver's buffer does).
DhCheckResult CheckDhDatagram(std::span<const std::uint8_t> datagram);

std::array<std::uint8_t, kDhSearchRequestSize> BuildDhSearchRequest();
std::array<std::uint8_t, kDhSetRequestSize> BuildDhSetRequest(const CameraInfo& info);
