#include "platform/host/TextScan.h"

#include <limits>

namespace host {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips blanks and reads the sign; returns the position of the first digit (or what stands there).
std::size_t SkipToDigits(std::string_view text, std::size_t pos, bool& negative) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    return pos;
}

} // namespace

std::uint32_t ScanIntLowBits(std::string_view text) {
    bool negative = false;
    std::uint32_t value = 0; // unsigned arithmetic wraps: the low bits stay exact
    for (std::size_t i = SkipToDigits(text, 0, negative); i < text.size() && IsDigit(text[i]); ++i)
        value = value * 10U + static_cast<std::uint32_t>(text[i] - '0');
    return negative ? 0U - value : value;
}

std::optional<long long> ScanInt(std::string_view text, std::size_t& pos) {
    bool negative = false;
    std::size_t i = SkipToDigits(text, pos, negative);
    if (i >= text.size() || !IsDigit(text[i]))
        return std::nullopt;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    pos = i;
    return negative ? -value : value;
}

} // namespace host
