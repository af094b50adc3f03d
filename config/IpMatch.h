#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

#include "cameras/CameraInfo.h"
#include "platform/net/IpAddrTable.h"

// One-key IP match: moving a camera that lies outside the PC's networks into the network of the
// interface on which it was found.

struct LocalNetwork {
    std::array<std::uint8_t, 4> address; // first number first
    std::array<std::uint8_t, 4> netmask;
};

// The network of row rowIndex of a searcher's table. When the table or the row is missing, the
// address falls back to 192.168.1.1 with the netmask 255.255.255.0 (a /24 is what a camera at .1's
// neighbours most likely use).
LocalNetwork LocalNetworkOf(const net::IpAddrTable* table, std::uint32_t rowIndex);

// The fourth number of an address text split at its dots (empty parts skipped, each part read as
// atoi does). False when the text has not four parts or the number is outside 0..255.
bool HostNumberOf(std::string_view ip, int& hostNumber);

// Host numbers in use: one bit per possible fourth number, so no count of cameras can overrun it.
using TakenHostNumbers = std::bitset<256>;

// The first host number from 10 to 254 that is not taken, or -1.
int ChooseHostNumber(const TakenHostNumbers& taken);

// Gives info the address network.h, the network's mask, gateway network.1, user "admin", an empty
// password and DHCP off. Every other field stays.
void RewriteForIpMatch(CameraInfo& info, const LocalNetwork& network, int host);
