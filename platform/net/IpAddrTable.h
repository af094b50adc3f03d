#pragma once

#include <cstdint>
#include <vector>

namespace net {

// One IPv4 address of the host, as the interface address table gives it.
// Addresses and netmasks are in network byte order.
struct IpAddrRow {
    std::uint32_t dwAddr;
    std::uint32_t dwIndex;     // interface index
    std::uint32_t dwMask;
    std::uint32_t dwBCastAddr;
    std::uint32_t dwReasmSize;
    std::uint16_t unused1;
    std::uint16_t wType;
};

// The host's interface address table: one row per IPv4 address, in the kernel's order.
struct IpAddrTable {
    std::uint32_t dwNumEntries = 0;
    std::vector<IpAddrRow> table;
};

// Reads the table with getifaddrs. False when it cannot be read.
bool GetIpAddrTable(IpAddrTable& out);

} // namespace net
