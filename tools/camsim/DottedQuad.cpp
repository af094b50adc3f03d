#include "tools/camsim/DottedQuad.h"

namespace camsim {

std::optional<DottedQuad::Bytes> DottedQuad::Parse(std::string_view text) {
    constexpr std::size_t kMaxDigits = 3;
    constexpr unsigned kMaxPart = 255;
    Bytes bytes{};
    std::size_t pos = 0;
    for (std::size_t part = 0; part < bytes.size(); ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < kMaxDigits) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || value > kMaxPart)
            return std::nullopt;
        bytes[part] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size())
        return std::nullopt;
    return bytes;
}

std::string DottedQuad::Format(const Bytes& bytes) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
           std::to_string(bytes[3]);
}

std::optional<int> DottedQuad::PrefixLength(const Bytes& mask) {
    const std::uint32_t value = (std::uint32_t{mask[0]} << 24) | (std::uint32_t{mask[1]} << 16) |
                                (std::uint32_t{mask[2]} << 8) | std::uint32_t{mask[3]};
    const std::uint32_t inverted = ~value;
    // Contiguous ones from the top leave a run of ones at the bottom after inversion: x & (x + 1) == 0.
    if ((inverted & (inverted + 1)) != 0)
        return std::nullopt;
    int prefix = 0;
    for (std::uint32_t v = value; v != 0; v <<= 1)
        ++prefix;
    return prefix;
}

} // namespace camsim
