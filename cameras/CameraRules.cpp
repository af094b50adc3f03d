#include "cameras/CameraRules.h"

#include <cstdio>
#include <optional>

#include "platform/host/CodePage.h"
#include "platform/host/TextScan.h"
#include "platform/net/InetAddr.h"

namespace {
constexpr int kHighVersionMajor = 67;
constexpr int kHighVersionMinBuild = 60;
} // namespace

const char* ModelLabel(const CameraInfo& info, int dhProtocol) {
    if (dhProtocol == 0)
        return "AJ";
    // szSysVersion read as "%d.%d.%d.%d" scans it: numbers joined by dots, stopping at the first text
    // that does not fit. The label needs the first and the third number; a text that stops earlier
    // is no "H" firmware.
    const std::string_view version = FieldText(info.szSysVersion);
    long long numbers[4] = {};
    int got = 0;
    std::size_t pos = 0;
    while (got < 4) {
        const std::optional<long long> n = host::ScanInt(version, pos);
        if (!n)
            break;
        numbers[got++] = *n;
        if (got == 4 || pos >= version.size() || version[pos] != '.')
            break;
        ++pos;
    }
    if (got >= 3 && numbers[0] == kHighVersionMajor && numbers[2] > kHighVersionMinBuild)
        return "H";
    return "J";
}

int SubnetMatch(const CameraInfo& info, const net::IpAddrTable* table) {
    if (table == nullptr)
        return 1;
    const std::string ip(FieldText(info.szIp)), mask(FieldText(info.szMask));
    const std::uint32_t a = net::InetAddr(ip.c_str());
    const std::uint32_t m = net::InetAddr(mask.c_str());
    for (const net::IpAddrRow& row : table->table) {
        if (row.dwMask == m && (row.dwAddr & row.dwMask) == (a & m))
            return 1;
    }
    return 0;
}

int SubnetMatchOnHost(const CameraInfo& info) {
    net::IpAddrTable table;
    if (!net::GetIpAddrTable(table))
        return SubnetMatch(info, nullptr);
    return SubnetMatch(info, &table);
}

bool Utf8ToLocal(const char* text, int length, std::vector<char>& out) {
    out.clear();
    if (length <= 0)
        return false;
    const std::u16string wide = host::Utf8ToUtf16(std::string_view(text, static_cast<std::size_t>(length)));
    std::string local;
    if (wide.empty() || !host::Utf16ToLocal(wide, local) || local.empty())
        return false;
    out.assign(local.begin(), local.end());
    return true;
}

std::string NameColumnText(const CameraInfo& info) {
    const std::string_view name = FieldText(info.szName);
    std::vector<char> local;
    if (!Utf8ToLocal(name.data(), static_cast<int>(name.size()), local))
        return {};
    std::string text(local.begin(), local.end());
    if (!text.empty() && text.front() == '?')
        text.erase(0, 1);
    return text;
}

std::string AddressColumnText(const CameraInfo& info) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s:%u", std::string(FieldText(info.szIp)).c_str(),
                  static_cast<unsigned>(HttpPort(info)));
    return buf;
}
