#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lab {

// What the guard looks at to tell a private network namespace from the machine's own.
struct NamespaceFacts {
    // Our namespace as /proc/thread-self/ns/net names it ("net:[4026531833]"); empty if unreadable.
    std::string self;
    // The same for process 1; nullopt when it cannot be read (some machines refuse it even to root).
    std::optional<std::string> machine;
    // Names of the interfaces of our namespace; nullopt when they cannot be listed.
    std::optional<std::vector<std::string>> interfaces;
};

// Nothing that sends a datagram may run in the machine's own network namespace: this machine sits
// on a network that is not ours. The guard decides from NamespaceFacts, so the decision is tested
// with made-up facts, while Probe() reads the real ones.
class NamespaceGuard {
public:
    // Every interface the lab makes starts with this, in the pc, host and segment namespaces alike.
    static constexpr std::string_view kLabPrefix = "tvl";

    static NamespaceFacts Probe();

    // Empty when the facts show a private namespace, else why not. When process 1's namespace can be
    // read, ours must differ from it. When it cannot, ours must hold nothing but loopback and
    // lab-made interfaces, as a fresh `unshare --net` namespace does: such a namespace reaches no
    // network but the lab's.
    static std::string Refusal(const NamespaceFacts& facts);

    // Throws std::runtime_error with the refusal when the facts that probe returns are not private.
    static void Require(const std::function<NamespaceFacts()>& probe = &NamespaceGuard::Probe);

    static bool IsLabInterface(std::string_view name);
};

} // namespace lab
