#pragma once

#include "tools/camsim/NetworkChange.h"
#include "tools/camsim/SimCamera.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace camsim {

// The camera side of the DH protocol on UDP 8600: every packet is "DH" (0x44 0x48), a 16-bit
// little-endian command, then the 320-byte record where the command carries one.
class DhCodec {
public:
    static constexpr std::uint16_t kPort = 8600;
    // Wire values: never change them.
    static constexpr std::uint16_t kSearch = 0x0101;
    static constexpr std::uint16_t kSet = 0x0102;
    static constexpr std::uint16_t kSearchReply = 0x0801;
    static constexpr std::uint16_t kSetReply = 0x0802;
    static constexpr std::uint32_t kSetAccepted = 0x00008000;
    static constexpr std::uint32_t kSetRefused = 0x00000000;
    static constexpr std::size_t kHeaderSize = 4;

    enum class Kind { Search, Set, Other };
    struct Request {
        Kind kind = Kind::Other;
        std::string problem; // why a datagram is not a request camsim answers (Kind::Other)
    };

    // A search is exactly the 4 bytes 44 48 01 01; a set request exactly 324 bytes, 44 48 02 01 and a
    // record. Anything else is Other, with a one-word reason.
    static Request Classify(std::span<const std::uint8_t> datagram);
    // The command of a datagram of at least 4 bytes, for the log.
    static std::optional<std::uint16_t> Command(std::span<const std::uint8_t> datagram);

    // What a set request (Classify: Set) asks for; throws std::invalid_argument for a shorter datagram.
    static NetworkChange SetChange(std::span<const std::uint8_t> datagram);

    // 44 48 01 08 and the camera's record: 324 bytes.
    static std::vector<std::uint8_t> SearchReply(const SimCamera& camera);
    // 44 48 02 08, the camera's record, then the status little-endian: 328 bytes.
    static std::vector<std::uint8_t> SetReply(const SimCamera& camera, std::uint32_t status);
};

} // namespace camsim
