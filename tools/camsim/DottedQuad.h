#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace camsim {

// Four numbers 0 to 255 joined by dots: IPv4 addresses and the MO_I firmware versions alike.
class DottedQuad {
public:
    using Bytes = std::array<std::uint8_t, 4>;

    // Strict: exactly four parts of one to three decimal digits, each at most 255, nothing else.
    static std::optional<Bytes> Parse(std::string_view text);
    static std::string Format(const Bytes& bytes);
    // Prefix length of a netmask whose ones are contiguous from the top, else nullopt.
    static std::optional<int> PrefixLength(const Bytes& mask);
};

} // namespace camsim
