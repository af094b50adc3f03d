#include "config/IpMatch.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/host/TextScan.h"

namespace {
constexpr int kFirstHost = 10;
constexpr int kLastHost = 254;
constexpr LocalNetwork kFallbackNetwork{{192, 168, 1, 1}, {255, 255, 255, 0}};

std::array<std::uint8_t, 4> BytesOf(std::uint32_t addrNetworkOrder) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&addrNetworkOrder);
    return {p[0], p[1], p[2], p[3]};
}

std::string Dotted(int a, int b, int c, int d) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", a, b, c, d);
    return text;
}
} // namespace

LocalNetwork LocalNetworkOf(const net::IpAddrTable* table, std::uint32_t rowIndex) {
    if (table == nullptr || rowIndex >= table->table.size())
        return kFallbackNetwork;
    const net::IpAddrRow& row = table->table[rowIndex];
    return {BytesOf(row.dwAddr), BytesOf(row.dwMask)};
}

bool HostNumberOf(std::string_view ip, int& hostNumber) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : ip) {
        if (c == '.') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    if (parts.size() != 4)
        return false;
    std::size_t pos = 0;
    const long long h = host::ScanInt(parts[3], pos).value_or(0); // as atoi: no digits read as 0
    if (h < 0 || h > 255)
        return false;
    hostNumber = static_cast<int>(h);
    return true;
}

int ChooseHostNumber(const TakenHostNumbers& taken) {
    for (int h = kFirstHost; h <= kLastHost; ++h)
        if (!taken.test(static_cast<std::size_t>(h)))
            return h;
    return -1;
}

void RewriteForIpMatch(CameraInfo& info, const LocalNetwork& network, int host) {
    const auto& a = network.address;
    const auto& m = network.netmask;
    SetFieldText(info.szIp, Dotted(a[0], a[1], a[2], host));
    SetFieldText(info.szMask, Dotted(m[0], m[1], m[2], m[3]));
    SetFieldText(info.szGateway, Dotted(a[0], a[1], a[2], 1));
    SetFieldText(info.szUser, "admin");
    SetFieldText(info.szPassword, "");
    info.bDhcp = 0;
}
