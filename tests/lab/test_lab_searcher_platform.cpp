// The platform services under the searchers, on a private network: the interface address table,
// the socket facts the receivers rely on, and the ARP flush.
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/socket.h>

#include "platform/host/Shell.h"
#include "platform/net/InetAddr.h"
#include "platform/net/IpAddrTable.h"
#include "platform/net/UdpSocket.h"
#include "tools/lab/Lab.h"

namespace {

using namespace std::chrono_literals;

struct RowText {
    std::string addr;
    std::string ifname;
    std::string mask;
    std::string bcast;
    int type;
    bool operator==(const RowText&) const = default;
};

std::ostream& operator<<(std::ostream& os, const RowText& r) {
    return os << r.addr << " " << r.ifname << " " << r.mask << " " << r.bcast << " type " << r.type;
}

std::vector<RowText> ReadTable() {
    net::IpAddrTable table;
    EXPECT_TRUE(net::GetIpAddrTable(table));
    EXPECT_EQ(table.dwNumEntries, table.table.size());
    std::vector<RowText> rows;
    for (const auto& row : table.table) {
        char name[IF_NAMESIZE] = {};
        if_indextoname(row.dwIndex, name);
        EXPECT_EQ(row.dwReasmSize, 65535u);
        rows.push_back({net::InetNtoa(row.dwAddr), name, net::InetNtoa(row.dwMask),
                        net::InetNtoa(row.dwBCastAddr), row.wType});
    }
    return rows;
}

// Rows in the kernel's order, one per address of an interface that is up, loopback included; a
// labelled address belongs to its device; addresses of a down interface are left out.
TEST(LabPlatform, InterfaceAddressTable) {
    lab::Lab lab;
    lab.AddHost("cam-a");
    const std::string pc = lab.Link("cam-a", "10.1.0.1/24", "10.1.0.2/24");
    lab.AddAddress("", pc, "10.1.0.9/24");
    lab.AddAddress("", pc, "192.168.5.1/24");
    ASSERT_EQ(lab.Run("", {"ip", "addr", "add", "10.60.0.1/16", "brd", "+", "dev", pc, "label", pc + ":x"}),
              0);
    // An interface that is down: one end of a veth pair kept in the pc.
    ASSERT_EQ(lab.Run("", {"ip", "link", "add", "tvl-down", "type", "veth", "peer", "name", "tvl-down-peer"}),
              0);
    ASSERT_EQ(lab.Run("", {"ip", "addr", "add", "10.50.0.1/24", "dev", "tvl-down"}), 0);

    // The kernel's order: interfaces by index, and on one interface its primary addresses (in the
    // order added) before its secondary ones.
    const std::vector<RowText> expected = {
        {"127.0.0.1", "lo", "255.0.0.0", "127.255.255.255", 1},
        {"10.1.0.1", pc, "255.255.255.0", "10.1.0.255", 1},
        {"192.168.5.1", pc, "255.255.255.0", "192.168.5.255", 1},
        {"10.60.0.1", pc, "255.255.0.0", "10.60.255.255", 1}, // labelled, yet on its device
        {"10.1.0.9", pc, "255.255.255.0", "10.1.0.255", 0},   // second address of its subnet
    };
    EXPECT_EQ(ReadTable(), expected);

    // Once up, the address of the former down interface is a row too.
    ASSERT_EQ(lab.Run("", {"ip", "link", "set", "tvl-down", "up"}), 0);
    const auto rows = ReadTable();
    ASSERT_EQ(rows.size(), expected.size() + 1);
    EXPECT_EQ(rows.back().addr, "10.50.0.1");
}

// What the receivers rely on: a datagram longer than the buffer is a failed receive, a 0-byte
// datagram carries packet info, and ShutdownRead wakes a blocked receive with 0 and no packet info.
// Where a datagram sent on loopback reaches rx.
sockaddr_in LoopbackTo(const net::UdpSocket& rx) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = net::InetAddr("127.0.0.1");
    to.sin_port = htons(rx.LocalPort());
    return to;
}

TEST(LabPlatform, SocketReceiveFacts) {
    lab::Lab lab;
    net::UdpSocket rx;
    ASSERT_TRUE(rx.Open());
    ASSERT_EQ(rx.EnablePacketInfo(), 0);
    ASSERT_EQ(rx.Bind(net::InetAddr("127.0.0.1"), 0), 0);
    net::UdpSocket tx;
    ASSERT_TRUE(tx.Open());
    const sockaddr_in to = LoopbackTo(rx);

    std::vector<std::uint8_t> big(1401, 0x41);
    std::uint8_t buffer[1400];
    net::UdpSocket::Arrival arrival;
    ASSERT_EQ(tx.SendTo(big.data(), big.size(), to), 1401);
    EXPECT_EQ(rx.ReceiveFrom(buffer, sizeof buffer, arrival), -1);
    EXPECT_EQ(net::UdpSocket::LastError(), EMSGSIZE);
    ASSERT_EQ(tx.SendTo(big.data(), 1400, to), 1400);
    EXPECT_EQ(rx.ReceiveFrom(buffer, sizeof buffer, arrival), 1400);
    EXPECT_TRUE(arrival.hasPacketInfo);
    EXPECT_EQ(arrival.destination, net::InetAddr("127.0.0.1"));
    EXPECT_EQ(arrival.ifindex, if_nametoindex("lo"));
    ASSERT_EQ(tx.SendTo(big.data(), 0, to), 0);
    EXPECT_EQ(rx.ReceiveFrom(buffer, sizeof buffer, arrival), 0);
    EXPECT_TRUE(arrival.hasPacketInfo);

    ssize_t woke = -2;
    net::UdpSocket::Arrival wokeArrival;
    std::thread blocked([&] { woke = rx.ReceiveFrom(buffer, sizeof buffer, wokeArrival); });
    std::this_thread::sleep_for(100ms); // let it block
    rx.ShutdownRead();
    blocked.join();
    EXPECT_EQ(woke, 0);
    EXPECT_FALSE(wokeArrival.hasPacketInfo);
}

// A receive buffer asked for as 8192 bytes holds 8192 bytes of full DH replies (25 of 324 bytes)
// that nobody has read yet, as the receivers are sized for, although Linux charges each datagram far
// more than its payload.
TEST(LabPlatform, ReceiveBufferHoldsItsSizeInReplies) {
    lab::Lab lab;
    net::UdpSocket rx;
    ASSERT_TRUE(rx.Open());
    ASSERT_EQ(rx.SetOption(SOL_SOCKET, SO_RCVBUF, 8192), 0);
    ASSERT_EQ(rx.Bind(net::InetAddr("127.0.0.1"), 0), 0);
    net::UdpSocket tx;
    ASSERT_TRUE(tx.Open());
    const sockaddr_in to = LoopbackTo(rx);
    constexpr int kReplies = 8192 / 324;
    std::vector<std::uint8_t> reply(324, 0x44);
    for (int i = 0; i < kReplies; ++i) {
        reply[4] = static_cast<std::uint8_t>(i);
        ASSERT_EQ(tx.SendTo(reply.data(), reply.size(), to), 324);
    }
    std::uint8_t buffer[1400];
    net::UdpSocket::Arrival arrival;
    for (int i = 0; i < kReplies; ++i) {
        ASSERT_EQ(::recv(rx.Fd(), buffer, sizeof buffer, MSG_DONTWAIT), 324) << "reply " << i << " was lost";
        EXPECT_EQ(buffer[4], i);
    }
}

bool NeighbourTableEmpty(lab::Lab& lab, const std::string& ifname) {
    return lab.Run("", {"sh", "-c", "[ -z \"$(ip -4 neigh show dev " + ifname + ")\" ]"}) == 0;
}

// "arp -d" empties the IPv4 neighbour table of the current namespace; an unprivileged user's flush
// changes nothing and prints nothing.
TEST(LabPlatform, ArpFlush) {
    lab::Lab lab;
    lab.AddHost("cam-a");
    const std::string pc = lab.Link("cam-a", "10.1.0.1/24", "10.1.0.2/24");
    const auto addNeighbours = [&] {
        ASSERT_EQ(lab.Run("", {"ip", "neigh", "replace", "10.1.0.2", "lladdr", "02:00:00:00:00:02", "dev", pc,
                               "nud", "reachable"}),
                  0);
        ASSERT_EQ(lab.Run("", {"ip", "neigh", "replace", "10.1.0.3", "lladdr", "02:00:00:00:00:03", "dev", pc,
                               "nud", "stale"}),
                  0);
        ASSERT_FALSE(NeighbourTableEmpty(lab, pc));
    };

    addNeighbours();
    const std::string out = lab.Dir() + "/arp.out";
    const int pid = lab.Spawn(
        "",
        {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", TAVLIN_SEARCHER_USER_HELPER, "arp"},
        out);
    ASSERT_EQ(lab.WaitExit(pid, 10s), std::optional<int>(0));
    const auto lines = lab::Lab::ReadLines(out);
    ASSERT_EQ(lines.size(), 1u); // nothing but the helper's own line: no message from the command
    EXPECT_NE(lines[0], "status=0");
    EXPECT_FALSE(NeighbourTableEmpty(lab, pc));

    EXPECT_EQ(host::RunCommand("arp -d"), 0);
    EXPECT_TRUE(NeighbourTableEmpty(lab, pc));
}

} // namespace
