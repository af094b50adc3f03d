#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace host {

// Decimal numbers in text, read as the C library reads them, but without its undefined results for
// numbers too long for an int (camera-supplied and user-typed texts can be anything).

// As atoi reads: leading blanks, an optional sign, then digits up to the first other character; no
// digits give 0. The result is the number modulo 2^32, so its low bits are exact however many digits
// there are (a caller that keeps the low 8 or 16 bits gets what the number says).
std::uint32_t ScanIntLowBits(std::string_view text);

// As "%d" scans from pos: leading blanks, an optional sign, at least one digit; pos moves past the
// number. Values beyond the range of long long saturate. nullopt (pos unchanged) when no number is
// there.
std::optional<long long> ScanInt(std::string_view text, std::size_t& pos);

} // namespace host
