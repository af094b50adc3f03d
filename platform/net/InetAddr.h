#pragma once

#include <cstdint>

namespace net {

// Dotted-decimal text to an IPv4 address in network byte order; a text that is not an
// address gives 255.255.255.255 (INADDR_NONE).
std::uint32_t InetAddr(const char* text);

// Address in network byte order to dotted-decimal text. The text lives in a per-thread
// buffer that stays valid until the next call on the same thread.
const char* InetNtoa(std::uint32_t addr);

} // namespace net
