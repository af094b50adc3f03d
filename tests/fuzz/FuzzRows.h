#pragma once

#include "cameras/CameraRules.h"

// What the window does with a decoded camera record: the texts of its row and the subnet test,
// against a fixed interface table so that runs repeat.
inline void BuildRowTexts(const CameraInfo& info, int dhProtocol) {
    static const net::IpAddrTable table = [] {
        net::IpAddrTable t;
        t.table.push_back({0x0100007Fu, 1, 0x000000FFu, 0, 65535, 0, 0});  // 127.0.0.1/8
        t.table.push_back({0x1401A8C0u, 2, 0x00FFFFFFu, 0, 65535, 0, 0});  // 192.168.1.20/24
        t.dwNumEntries = 2;
        return t;
    }();
    volatile std::size_t sink = 0;
    sink = sink + std::char_traits<char>::length(ModelLabel(info, dhProtocol));
    sink = sink + NameColumnText(info).size();
    sink = sink + AddressColumnText(info).size();
    sink = sink + static_cast<std::size_t>(SubnetMatch(info, &table));
    sink = sink + FieldText(info.szP2pId).size();
}
