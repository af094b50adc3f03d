#include "tools/lab/NamespaceGuard.h"

#include <array>
#include <net/if.h>
#include <stdexcept>
#include <unistd.h>

namespace lab {
namespace {

std::optional<std::string> ReadLink(const char* path) {
    std::array<char, 256> buffer{};
    const ssize_t n = readlink(path, buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return std::nullopt;
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

// if_nameindex asks the kernel over netlink, so it lists the calling thread's namespace (unlike
// /sys/class/net, which shows the namespace that sysfs was mounted in).
std::optional<std::vector<std::string>> ListInterfaces() {
    struct if_nameindex* list = if_nameindex();
    if (list == nullptr)
        return std::nullopt;
    std::vector<std::string> names;
    for (const struct if_nameindex* it = list; it->if_index != 0 && it->if_name != nullptr; ++it)
        names.emplace_back(it->if_name);
    if_freenameindex(list);
    return names;
}

} // namespace

NamespaceFacts NamespaceGuard::Probe() {
    NamespaceFacts facts;
    facts.self = ReadLink("/proc/thread-self/ns/net").value_or("");
    facts.machine = ReadLink("/proc/1/ns/net");
    facts.interfaces = ListInterfaces();
    return facts;
}

bool NamespaceGuard::IsLabInterface(std::string_view name) {
    return name.size() > kLabPrefix.size() && name.substr(0, kLabPrefix.size()) == kLabPrefix;
}

std::string NamespaceGuard::Refusal(const NamespaceFacts& facts) {
    if (facts.self.empty())
        return "cannot read this thread's network namespace";
    if (facts.machine) {
        if (*facts.machine == facts.self)
            return "this is the machine's own network namespace (" + facts.self + ")";
        return {};
    }
    if (!facts.interfaces)
        return "the machine's network namespace cannot be read and the interfaces cannot be listed";
    std::string foreign;
    for (const std::string& name : *facts.interfaces) {
        if (name == "lo" || IsLabInterface(name))
            continue;
        foreign += (foreign.empty() ? "" : ", ") + name;
    }
    if (!foreign.empty())
        return "the machine's network namespace cannot be read and this one holds interfaces the lab "
               "did not make (" + foreign + "): probably the machine's own";
    return {};
}

void NamespaceGuard::Require(const std::function<NamespaceFacts()>& probe) {
    const std::string refusal = Refusal(probe());
    if (!refusal.empty())
        throw std::runtime_error("refusing to run: " + refusal +
                                 "; run inside a private network namespace (unshare --net, see scripts/test)");
}

} // namespace lab
