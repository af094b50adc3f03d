#pragma once

#include "tools/camsim/NetworkChange.h"
#include "tools/camsim/SimCamera.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace camsim {

// The camera side of the MO_I protocol on UDP 10000. Every packet starts with a packed 23-byte
// header: "MO_I", command (16-bit little-endian) at 4, nine reserved bytes, payload length (32-bit
// little-endian) at 15, four reserved bytes. In payloads the HTTP port is big-endian and an address
// is four bytes, first number first.
class MoiCodec {
public:
    static constexpr std::uint16_t kPort = 10000;
    static constexpr std::size_t kHeaderSize = 23;
    // Wire values: never change them.
    static constexpr std::uint16_t kSearch = 0;
    static constexpr std::uint16_t kSearchReply = 1;
    static constexpr std::uint16_t kSetNetwork = 2;
    static constexpr std::size_t kSearchPayload = 4;
    static constexpr std::size_t kSearchReplyPayload = 65;
    static constexpr std::size_t kSetNetworkPayload = 61;
    static constexpr std::size_t kP2pWidth = 13;
    static constexpr std::size_t kNameWidth = 21;

    enum class Kind { Search, SetNetwork, Other };
    struct Request {
        Kind kind = Kind::Other;
        std::string problem; // why a datagram is not a request camsim answers (Kind::Other)
    };

    // A search is exactly 27 bytes: header with command 0, length 4 and zero reserved bytes, then
    // 00 00 00 01. A set-network request is exactly 84 bytes: header with command 2 and length 61,
    // then a payload whose first four bytes are zero. Anything else is Other, with a one-word reason.
    static Request Classify(std::span<const std::uint8_t> datagram);
    // The command of a datagram of at least 6 bytes, for the log.
    static std::optional<std::uint16_t> Command(std::span<const std::uint8_t> datagram);

    // What a set-network request (Classify: SetNetwork) asks for; throws std::invalid_argument for a
    // shorter datagram.
    static NetworkChange SetChange(std::span<const std::uint8_t> datagram);

    // Header with command 1 and length 65, then the camera's payload: 88 bytes. A version that is not
    // four numbers 0 to 255, or an address that is not, travels as zeros.
    static std::vector<std::uint8_t> SearchReply(const SimCamera& camera);
};

} // namespace camsim
