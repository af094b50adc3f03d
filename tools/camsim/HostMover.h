#pragma once

#include <string>

namespace camsim {

// Makes a camera's new address real on its host: the interface gives up the camera's old address and
// takes the new one, so the next search and any unicast find the host there.
class HostMover {
public:
    explicit HostMover(std::string ifname);

    // Deletes oldIp (with whatever prefix the interface holds it) from the interface when it is
    // there, then adds newIp with the prefix of newMask and its broadcast address. Returns an empty
    // text, or why it failed.
    std::string Move(const std::string& oldIp, const std::string& newIp, const std::string& newMask) const;

    const std::string& Interface() const { return m_ifname; }

private:
    std::string m_ifname;
};

} // namespace camsim
