// The lab itself: namespaces made and removed, links, segments, running programs in hosts.
#include "tools/lab/Lab.h"
#include "tools/lab/UdpPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <net/if.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr auto kWait = 5s;

std::string ThreadNamespace() {
    char text[128] = {};
    const ssize_t n = readlink("/proc/thread-self/ns/net", text, sizeof text - 1);
    return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
}

bool Exists(const std::string& fullName) { return access(("/run/netns/" + fullName).c_str(), F_OK) == 0; }

std::vector<std::string> Interfaces(lab::Lab& lab, const std::string& host) {
    return lab.InHost(host, [] {
        std::vector<std::string> names;
        if (struct if_nameindex* list = if_nameindex()) {
            for (const struct if_nameindex* it = list; it->if_index != 0; ++it)
                names.emplace_back(it->if_name);
            if_freenameindex(list);
        }
        std::sort(names.begin(), names.end());
        return names;
    });
}

} // namespace

TEST(LabHarness, MakesItsNamespacesAndRemovesThem) {
    const std::string before = ThreadNamespace();
    std::string pc;
    std::string host;
    std::string segment;
    {
        lab::Lab lab;
        pc = lab.PcNamespace();
        host = lab.AddHost("cam-a");
        segment = lab.AddSegment("lan");
        EXPECT_NE(host.find(std::to_string(getpid())), std::string::npos) << host;
        EXPECT_NE(host, lab.AddHost("cam-b"));
        EXPECT_TRUE(Exists(pc));
        EXPECT_TRUE(Exists(host));
        EXPECT_TRUE(Exists(segment));
        EXPECT_NE(ThreadNamespace(), before); // this thread now lives in the pc
        EXPECT_EQ(Interfaces(lab, ""), std::vector<std::string>{"lo"});
        EXPECT_EQ(Interfaces(lab, host), std::vector<std::string>{"lo"});
        EXPECT_THROW(lab.AddHost("cam-a"), std::invalid_argument);
        EXPECT_THROW(lab.AddHost("bad name"), std::invalid_argument);
        EXPECT_THROW(lab.AddHost("pc"), std::invalid_argument);

        // Loopback is up in the pc: a datagram to 127.0.0.1 arrives.
        lab::UdpPeer a;
        const lab::UdpPeer b(0, "", "127.0.0.1");
        a.Send("127.0.0.1", b.Port(), Bytes{7});
        EXPECT_TRUE(b.Receive(kWait).has_value());
    }
    EXPECT_EQ(ThreadNamespace(), before);
    EXPECT_FALSE(Exists(pc));
    EXPECT_FALSE(Exists(host));
    EXPECT_FALSE(Exists(segment));
}

TEST(LabHarness, CleansUpWhenTheTestFails) {
    const std::string before = ThreadNamespace();
    std::string host;
    int pid = 0;
    try {
        lab::Lab lab;
        host = lab.AddHost("cam");
        pid = lab.Spawn(host, {"sleep", "60"});
        throw std::runtime_error("the test failed here");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ThreadNamespace(), before);
    EXPECT_FALSE(Exists(host));
    ASSERT_GT(pid, 0);
    EXPECT_NE(kill(pid, 0), 0) << "the spawned process was neither stopped nor reaped";
}

TEST(LabHarness, LinkCarriesUnicastAndBroadcastBothWays) {
    lab::Lab lab;
    const std::string host = lab.AddHost("cam");
    const std::string pcIf = lab.Link(host, "10.9.0.1/24", "10.9.0.2/24");
    EXPECT_EQ(pcIf, "tvl0");
    EXPECT_EQ(lab.PeerOf(pcIf), "tvl-eth0");
    EXPECT_EQ(lab.Addresses("", pcIf), std::vector<std::string>{"10.9.0.1/24"});
    EXPECT_EQ(lab.Addresses(host, "tvl-eth0"), std::vector<std::string>{"10.9.0.2/24"});

    const lab::UdpPeer cam = lab.InHost(host, [] { return lab::UdpPeer(5000, "tvl-eth0"); });
    const lab::UdpPeer pc(0, pcIf);
    pc.Send("255.255.255.255", 5000, Bytes{1, 2, 3});
    const auto request = cam.Receive(kWait);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->bytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(request->from, "10.9.0.1");
    EXPECT_EQ(request->to, "255.255.255.255");

    cam.Send("255.255.255.255", request->fromPort, Bytes{4});
    cam.Send(request->from, request->fromPort, Bytes{5});
    const auto broadcast = pc.Receive(kWait);
    const auto unicast = pc.Receive(kWait);
    ASSERT_TRUE(broadcast && unicast);
    EXPECT_EQ(broadcast->to, "255.255.255.255");
    EXPECT_EQ(unicast->to, "10.9.0.1");
    EXPECT_EQ(unicast->from, "10.9.0.2");
}

TEST(LabHarness, SecondLinkAndExtraAddresses) {
    lab::Lab lab;
    const std::string host = lab.AddHost("cam");
    const std::string first = lab.Link(host, "10.9.0.1/24", "10.9.0.2/24");
    const std::string second = lab.Link(host, "10.8.0.1/24", "");
    EXPECT_EQ(second, "tvl1");
    EXPECT_EQ(lab.PeerOf(second), "tvl-eth1");
    EXPECT_TRUE(lab.Addresses(host, "tvl-eth1").empty());
    lab.AddAddress(host, "tvl-eth1", "10.8.0.2/24");
    lab.AddAddress("", first, "192.168.5.1/24");
    EXPECT_EQ(lab.Addresses("", first), (std::vector<std::string>{"10.9.0.1/24", "192.168.5.1/24"}));

    // A broadcast out of the second link arrives on the host's second interface only.
    const lab::UdpPeer cam = lab.InHost(host, [] { return lab::UdpPeer(5000); });
    const lab::UdpPeer pc(0, second);
    pc.Send("255.255.255.255", 5000, Bytes{9});
    const auto d = cam.Receive(kWait);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->from, "10.8.0.1");
    EXPECT_EQ(d->ifindex, lab.InHost(host, [] { return static_cast<int>(if_nametoindex("tvl-eth1")); }));
    EXPECT_FALSE(cam.Receive(200ms).has_value()) << "the broadcast also came through the first link";
}

TEST(LabHarness, SegmentJoinsThePcAndSeveralHosts) {
    lab::Lab lab;
    const std::string lan = lab.AddSegment("lan");
    const std::string a = lab.AddHost("cam-a");
    const std::string b = lab.AddHost("cam-b");
    const std::string pcIf = lab.Attach(lan, "", "10.7.0.1/24");
    EXPECT_EQ(lab.Attach(lan, a, "10.7.0.11/24"), "tvl-eth0");
    EXPECT_EQ(lab.Attach(lan, b, "192.168.9.12/24"), "tvl-eth0"); // another subnet, same segment
    EXPECT_THROW(lab.Attach(a, b, ""), std::invalid_argument);
    EXPECT_THROW(lab.Link(lan, "10.6.0.1/24", ""), std::invalid_argument);

    const lab::UdpPeer peerA = lab.InHost(a, [] { return lab::UdpPeer(5000); });
    const lab::UdpPeer peerB = lab.InHost(b, [] { return lab::UdpPeer(5000); });
    const lab::UdpPeer pc(0, pcIf);
    pc.Send("255.255.255.255", 5000, Bytes{1});
    const auto atA = peerA.Receive(kWait);
    const auto atB = peerB.Receive(kWait);
    ASSERT_TRUE(atA && atB);
    EXPECT_EQ(atB->from, "10.7.0.1"); // accepted although it is outside cam-b's subnet

    // cam-b answers by broadcast from outside the pc's subnet; the pc hears it.
    const lab::UdpPeer answer = lab.InHost(b, [] { return lab::UdpPeer(0, "tvl-eth0"); });
    answer.Send("255.255.255.255", atB->fromPort, Bytes{2});
    const auto back = pc.Receive(kWait);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->from, "192.168.9.12");
}

TEST(LabHarness, InHostRunsInTheHostAndReturnsOrThrows) {
    lab::Lab lab;
    const std::string host = lab.AddHost("cam");
    lab.Link(host, "10.9.0.1/24", "10.9.0.2/24");
    EXPECT_EQ(lab.InHost(host, [] { return 42; }), 42);
    EXPECT_THROW(lab.InHost(host, []() -> int { throw std::logic_error("from the host"); }), std::logic_error);
    // The host's address binds there and not in the pc; the socket stays in the host.
    const lab::UdpPeer inHost = lab.InHost(host, [] { return lab::UdpPeer(0, "", "10.9.0.2"); });
    EXPECT_THROW(lab::UdpPeer(0, "", "10.9.0.2"), std::runtime_error);
    const lab::UdpPeer pc(0, "", "10.9.0.1");
    pc.Send("10.9.0.2", inHost.Port(), Bytes{3});
    EXPECT_TRUE(inHost.Receive(kWait).has_value());
    EXPECT_THROW(lab.InHost("no-such-host", [] { return 0; }), std::invalid_argument);
}

TEST(LabHarness, RunAndSpawnInAHost) {
    lab::Lab lab;
    const std::string host = lab.AddHost("cam");
    lab.Link(host, "10.9.0.1/24", "10.9.0.2/24");
    EXPECT_EQ(lab.Run(host, {"true"}), 0);
    EXPECT_EQ(lab.Run(host, {"false"}), 1);
    // Programs run in the namespace they are given: the host end exists in the host only.
    EXPECT_EQ(lab.Run(host, {"ip", "link", "show", "dev", "tvl-eth0"}), 0);
    EXPECT_NE(lab.Run("", {"ip", "link", "show", "dev", "tvl-eth0"}), 0);
    EXPECT_THROW(lab.Run(host, {"no-such-program-here"}), std::runtime_error);

    const std::string out = lab.Dir() + "/addresses.out";
    const int pid = lab.Spawn("cam", {"ip", "-o", "-4", "address", "show"}, out);
    EXPECT_EQ(lab.WaitExit(pid, kWait), std::optional<int>(0));
    EXPECT_TRUE(lab::Lab::WaitForLine(out, "10.9.0.2/24", kWait).has_value());

    const int sleeper = lab.Spawn(host, {"sleep", "60"});
    EXPECT_EQ(lab.WaitExit(sleeper, 50ms), std::nullopt);
    EXPECT_EQ(lab.Stop(sleeper), 128 + SIGTERM);
}
