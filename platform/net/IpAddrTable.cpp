#include "platform/net/IpAddrTable.h"

#include <cstring>
#include <string>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace net {
namespace {

constexpr std::uint32_t kReassemblySize = 65535;
constexpr std::uint16_t kTypePrimary = 0x0001; // first address of its subnet on the interface

// Frees the list that getifaddrs returned, on every path.
class InterfaceList {
  public:
    InterfaceList() { m_ok = ::getifaddrs(&m_head) == 0; }
    ~InterfaceList() {
        if (m_ok)
            ::freeifaddrs(m_head);
    }
    InterfaceList(const InterfaceList&) = delete;
    InterfaceList& operator=(const InterfaceList&) = delete;

    bool Ok() const { return m_ok; }
    const ifaddrs* Head() const { return m_head; }

  private:
    ifaddrs* m_head = nullptr;
    bool m_ok = false;
};

std::uint32_t Ipv4Of(const sockaddr* sa) {
    sockaddr_in sin{};
    std::memcpy(&sin, sa, sizeof sin);
    return sin.sin_addr.s_addr;
}

// An address with a label ("eth0:1") is listed under that label; the interface is the part before
// the colon (iproute2 insists that a label begins with its device's name).
unsigned InterfaceIndex(const char* name) {
    if (const unsigned index = ::if_nametoindex(name); index != 0)
        return index;
    const std::string device(name, std::strcspn(name, ":"));
    return ::if_nametoindex(device.c_str());
}

} // namespace

bool GetIpAddrTable(IpAddrTable& out) {
    out = IpAddrTable{};
    const InterfaceList list;
    if (!list.Ok())
        return false;
    // getifaddrs gives the kernel's address dump in its own order, which the table keeps.
    for (const ifaddrs* ifa = list.Head(); ifa != nullptr; ifa = ifa->ifa_next) {
        if (ifa->ifa_addr == nullptr || ifa->ifa_addr->sa_family != AF_INET)
            continue;
        // Only interfaces that are up: a desktop with Docker, VPN or VM bridges that are down would
        // otherwise spend its five searcher slots on interfaces that can neither send nor receive.
        // Loopback is a row like any other.
        if ((ifa->ifa_flags & IFF_UP) == 0)
            continue;
        IpAddrRow row{};
        row.dwAddr = Ipv4Of(ifa->ifa_addr);
        row.dwIndex = InterfaceIndex(ifa->ifa_name);
        row.dwMask = ifa->ifa_netmask != nullptr ? Ipv4Of(ifa->ifa_netmask) : 0;
        // The kernel's broadcast address where the interface has one; otherwise (loopback,
        // point-to-point) the directed broadcast of the address's subnet.
        if ((ifa->ifa_flags & IFF_BROADCAST) != 0 && ifa->ifa_broadaddr != nullptr)
            row.dwBCastAddr = Ipv4Of(ifa->ifa_broadaddr);
        else
            row.dwBCastAddr = row.dwAddr | ~row.dwMask;
        row.dwReasmSize = kReassemblySize;
        row.unused1 = 0;
        bool firstOfSubnet = true;
        for (const IpAddrRow& earlier : out.table) {
            if (earlier.dwIndex == row.dwIndex && earlier.dwMask == row.dwMask &&
                (earlier.dwAddr & earlier.dwMask) == (row.dwAddr & row.dwMask))
                firstOfSubnet = false;
        }
        row.wType = firstOfSubnet ? kTypePrimary : 0;
        out.table.push_back(row);
    }
    out.dwNumEntries = static_cast<std::uint32_t>(out.table.size());
    return true;
}

} // namespace net
