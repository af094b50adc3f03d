#include "tools/camsim/HostMover.h"

#include "tools/camsim/DottedQuad.h"
#include "tools/lab/Process.h"

#include <arpa/inet.h>
#include <bit>
#include <cstring>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace camsim {
namespace {

constexpr auto kIpTimeout = std::chrono::seconds(10);

// The prefix length with which ifname holds ip, or nullopt when it does not hold it.
std::optional<int> HeldPrefix(const std::string& ifname, const std::string& ip) {
    in_addr wanted{};
    if (inet_pton(AF_INET, ip.c_str(), &wanted) != 1)
        return std::nullopt;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return std::nullopt;
    std::optional<int> prefix;
    for (const ifaddrs* a = list; a != nullptr && !prefix; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET || ifname != a->ifa_name)
            continue;
        sockaddr_in addr{};
        std::memcpy(&addr, a->ifa_addr, sizeof addr);
        if (addr.sin_addr.s_addr != wanted.s_addr)
            continue;
        sockaddr_in mask{};
        if (a->ifa_netmask != nullptr)
            std::memcpy(&mask, a->ifa_netmask, sizeof mask);
        prefix = std::popcount(mask.sin_addr.s_addr);
    }
    freeifaddrs(list);
    return prefix;
}

std::string RunIp(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"ip"};
    argv.insert(argv.end(), args.begin(), args.end());
    try {
        const int status = lab::Process::Run(argv, kIpTimeout);
        if (status != 0) {
            std::string text;
            for (const auto& a : argv)
                text += (text.empty() ? "" : " ") + a;
            return "`" + text + "` failed with status " + std::to_string(status);
        }
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace

HostMover::HostMover(std::string ifname) : m_ifname(std::move(ifname)) {}

std::string HostMover::Move(const std::string& oldIp, const std::string& newIp, const std::string& newMask) const {
    const auto mask = DottedQuad::Parse(newMask);
    const auto prefix = mask ? DottedQuad::PrefixLength(*mask) : std::nullopt;
    if (!DottedQuad::Parse(newIp) || !prefix)
        return "not an address and netmask: " + newIp + " " + newMask;
    // Delete first: deleting a primary address also deletes the secondaries of its subnet, which
    // would take the new address with it were it added first.
    if (const auto held = HeldPrefix(m_ifname, oldIp)) {
        if (std::string error = RunIp({"address", "del", oldIp + "/" + std::to_string(*held), "dev", m_ifname});
            !error.empty())
            return error;
    }
    if (HeldPrefix(m_ifname, newIp))
        return {};
    return RunIp({"address", "add", newIp + "/" + std::to_string(*prefix), "broadcast", "+", "dev", m_ifname});
}

} // namespace camsim
