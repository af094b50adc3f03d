#include "platform/net/InetAddr.h"

#include <cstdio>

#include <arpa/inet.h>
#include <netinet/in.h>

namespace net {
namespace {

constexpr std::size_t kDottedSize = 16; // "255.255.255.255" and its terminator

} // namespace

std::uint32_t InetAddr(const char* text) {
    if (text == nullptr)
        return INADDR_NONE;
    // The C library's inet_addr: one to four parts, each decimal, octal or hex.
    return ::inet_addr(text);
}

const char* InetNtoa(std::uint32_t addr) {
    thread_local char buffer[kDottedSize];
    const auto* b = reinterpret_cast<const unsigned char*>(&addr); // network order: first part first
    std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return buffer;
}

} // namespace net
