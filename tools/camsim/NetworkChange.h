#pragma once

#include "tools/camsim/SimCamera.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace camsim {

// What a set request asks of a camera, whichever protocol brought it.
struct NetworkChange {
    bool dh = true;            // the protocol that brought it: selects the cameras it can address
    std::string p2p;           // the P2P identifier the request names
    std::size_t p2pWidth = 32; // bytes of an identifier the protocol carries (MO_I: 13)
    std::string ip;
    std::string mask;
    std::string gateway;
    std::string dns;
    std::uint16_t port = 0;
    std::string user;
    std::string password;
    std::optional<std::uint8_t> dhcp; // only DH carries it

    // The camera the request addresses: the first camera of its protocol whose P2P identifier (cut
    // to p2pWidth bytes) equals p2p; failing that, for DH only, the first DH camera whose address
    // equals the requested address (a request that keeps the address). nullopt when none matches.
    std::optional<std::size_t> Target(const std::vector<SimCamera>& cameras) const;

    // Empty when a camera would take the change, else why it refuses: the address must be four
    // numbers and not 0.0.0.0, the mask a contiguous non-zero netmask, gateway and DNS server four
    // numbers or empty.
    std::string Problem() const;

    // Writes address, mask, gateway, DNS server, HTTP port, user, password and (DH) the DHCP flag;
    // the camera keeps its identity, name, versions, further address and reserved bytes.
    void ApplyTo(SimCamera& camera) const;
};

} // namespace camsim
