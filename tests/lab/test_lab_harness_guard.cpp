// The refusal to run in the machine's own network namespace, decided from made-up facts.
#include "tools/lab/Lab.h"
#include "tools/lab/NamespaceGuard.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using lab::NamespaceFacts;
using lab::NamespaceGuard;

namespace {

using Names = std::vector<std::string>;

NamespaceFacts Facts(std::string self, std::optional<std::string> machine, std::optional<Names> interfaces) {
    return NamespaceFacts{std::move(self), std::move(machine), std::move(interfaces)};
}

std::string ThreadNamespace() {
    char text[128] = {};
    const ssize_t n = readlink("/proc/thread-self/ns/net", text, sizeof text - 1);
    return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
}

std::set<std::string> NamedNamespaces() {
    std::set<std::string> names;
    if (DIR* dir = opendir("/run/netns")) {
        while (const dirent* e = readdir(dir))
            names.insert(e->d_name);
        closedir(dir);
    }
    return names;
}

} // namespace

TEST(LabGuard, RefusesTheMachinesNamespace) {
    const std::string own = "net:[4026531833]";
    const std::string fresh = "net:[4026532174]";
    struct Case {
        const char* what;
        NamespaceFacts facts;
        bool refused;
        const char* reason; // part of the refusal
    };
    const std::vector<Case> cases{
        {"same as process 1, even with loopback only", Facts(own, own, Names{"lo"}), true, "machine's own"},
        {"differs from process 1, whatever it holds", Facts(fresh, own, Names{"lo", "eth0"}), false, ""},
        {"process 1 unreadable, loopback only", Facts(fresh, std::nullopt, Names{"lo"}), false, ""},
        {"process 1 unreadable, lab links only", Facts(fresh, std::nullopt, Names{"lo", "tvl0", "tvl-eth1", "tvl-br0"}),
         false, ""},
        {"process 1 unreadable, a foreign interface", Facts(fresh, std::nullopt, Names{"lo", "tvl0", "eth0", "ifb0"}),
         true, "eth0, ifb0"},
        {"the bare prefix is no lab link", Facts(fresh, std::nullopt, Names{"lo", "tvl"}), true, "(tvl)"},
        {"the prefix must lead", Facts(fresh, std::nullopt, Names{"lo", "xtvl0"}), true, "xtvl0"},
        {"process 1 unreadable, interfaces unknown", Facts(fresh, std::nullopt, std::nullopt), true,
         "cannot be listed"},
        {"own namespace unreadable", Facts("", std::nullopt, Names{"lo"}), true, "cannot read"},
    };
    for (const Case& c : cases) {
        const std::string refusal = NamespaceGuard::Refusal(c.facts);
        EXPECT_EQ(!refusal.empty(), c.refused) << c.what << ": " << refusal;
        EXPECT_NE(refusal.find(c.reason), std::string::npos) << c.what << ": " << refusal;
    }
}

TEST(LabGuard, ProbeSeesThisPrivateNamespace) {
    // These tests run only inside a private namespace (scripts/test): the real facts must say so.
    const NamespaceFacts facts = NamespaceGuard::Probe();
    EXPECT_EQ(facts.self, ThreadNamespace());
    ASSERT_TRUE(facts.interfaces.has_value());
    EXPECT_NE(std::find(facts.interfaces->begin(), facts.interfaces->end(), "lo"), facts.interfaces->end());
    EXPECT_EQ(NamespaceGuard::Refusal(facts), "");
}

TEST(LabGuard, RefusingLabTouchesNothing) {
    const std::string before = ThreadNamespace();
    const std::set<std::string> named = NamedNamespaces();
    const std::string own = "net:[1]";
    EXPECT_THROW(lab::Lab([&] { return Facts(own, own, Names{"lo"}); }), std::runtime_error);
    EXPECT_THROW(lab::Lab([] { return Facts("net:[2]", std::nullopt, Names{"lo", "eth0"}); }), std::runtime_error);
    EXPECT_EQ(ThreadNamespace(), before);
    EXPECT_EQ(NamedNamespaces(), named);
}
