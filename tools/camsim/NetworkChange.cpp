#include "tools/camsim/NetworkChange.h"

#include "tools/camsim/DottedQuad.h"

namespace camsim {

std::optional<std::size_t> NetworkChange::Target(const std::vector<SimCamera>& cameras) const {
    auto speaks = [this](const SimCamera& c) { return dh ? c.dh : c.moi; };
    if (!p2p.empty()) {
        for (std::size_t i = 0; i < cameras.size(); ++i)
            if (speaks(cameras[i]) && cameras[i].p2p.substr(0, p2pWidth) == p2p)
                return i;
    }
    if (dh) {
        for (std::size_t i = 0; i < cameras.size(); ++i)
            if (speaks(cameras[i]) && cameras[i].ip == ip)
                return i;
    }
    return std::nullopt;
}

std::string NetworkChange::Problem() const {
    const auto address = DottedQuad::Parse(ip);
    if (!address)
        return "address";
    if (*address == DottedQuad::Bytes{})
        return "address-zero";
    const auto netmask = DottedQuad::Parse(mask);
    if (!netmask)
        return "mask";
    const auto prefix = DottedQuad::PrefixLength(*netmask);
    if (!prefix || *prefix == 0)
        return "mask";
    if (!gateway.empty() && !DottedQuad::Parse(gateway))
        return "gateway";
    if (!dns.empty() && !DottedQuad::Parse(dns))
        return "dns";
    return {};
}

void NetworkChange::ApplyTo(SimCamera& camera) const {
    camera.ip = ip;
    camera.mask = mask;
    camera.gateway = gateway;
    camera.dns = dns;
    camera.port = port;
    camera.user = user;
    camera.password = password;
    if (dhcp)
        camera.dhcp = *dhcp;
}

} // namespace camsim
