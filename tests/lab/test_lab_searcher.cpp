// The searchers on a real (private) network: what each slot sends and from where, which replies
// reach which slot, the slot limit, dropped datagrams, Stop, the bind retry, and an unprivileged run.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/host/Random.h"
#include "search/DhCodec.h"
#include "search/DhSearcher.h"
#include "search/MoiCodec.h"
#include "search/MoiSearcher.h"
#include "tools/lab/Lab.h"
#include "tools/lab/UdpPeer.h"

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kWait = 3s;     // bound for something that should happen
constexpr auto kQuiet = 300ms; // how long "nothing more arrives" is watched

// Every call of a searcher's callback, copied on the receiver thread.
class ReplyLog {
  public:
    struct Reply {
        int slot;
        std::uint32_t code;
        std::int32_t length;
        Bytes payload;
    };

    static int Callback(std::uint32_t code, std::int32_t length, const std::uint8_t* payload, void* context,
                        std::int32_t slot) {
        auto* log = static_cast<ReplyLog*>(context);
        Reply r{slot, code, length, Bytes(payload, payload + length)};
        if (log->m_delay.count() > 0) {
            log->m_entered = true;
            std::this_thread::sleep_for(log->m_delay);
        }
        {
            const std::lock_guard lock(log->m_mutex);
            log->m_replies.push_back(std::move(r));
        }
        log->m_cv.notify_all();
        return 0;
    }

    template <class S> void Install(S& searcher) {
        searcher.m_callback = &ReplyLog::Callback;
        searcher.m_context = this;
    }

    // Waits (bounded) until count replies have come; returns what came.
    std::vector<Reply> WaitFor(std::size_t count, std::chrono::milliseconds limit = kWait) {
        std::unique_lock lock(m_mutex);
        m_cv.wait_for(lock, limit, [&] { return m_replies.size() >= count; });
        return m_replies;
    }
    std::vector<Reply> Now() {
        const std::lock_guard lock(m_mutex);
        return m_replies;
    }

    void SlowDown(std::chrono::milliseconds delay) { m_delay = delay; }
    bool Entered() const { return m_entered; }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Reply> m_replies;
    std::chrono::milliseconds m_delay{0};
    std::atomic<bool> m_entered{false};
};

// Forces the ports that slots draw, for the test's lifetime.
class ForcedPorts {
  public:
    explicit ForcedPorts(std::vector<int> values) : m_values(std::move(values)) {
        m_old = host::SetRandomHook([this] {
            const int v = m_values[std::min(m_next, m_values.size() - 1)];
            ++m_next;
            return v;
        });
    }
    ~ForcedPorts() { host::SetRandomHook(m_old); }
    ForcedPorts(const ForcedPorts&) = delete;
    ForcedPorts& operator=(const ForcedPorts&) = delete;
    std::size_t Draws() const { return m_next; }

  private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
    host::RandomHook m_old;
};

// A DH search reply whose record names the camera by text.
Bytes DhReply(const std::string& name) {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, "10.99.0.7");
    SetFieldText(info.szName, name);
    Bytes d(4 + sizeof info);
    const std::uint8_t header[4] = {0x44, 0x48, 0x01, 0x08};
    std::memcpy(d.data(), header, sizeof header);
    std::memcpy(d.data() + 4, &info, sizeof info);
    return d;
}

std::string NameOf(const ReplyLog::Reply& r) {
    if (r.payload.size() < 120 + 80)
        return {};
    const char* name = reinterpret_cast<const char*>(r.payload.data() + 120);
    return std::string(name, strnlen(name, 80));
}

std::vector<std::string> NamesOf(const std::vector<ReplyLog::Reply>& replies, int slot) {
    std::vector<std::string> names;
    for (const auto& r : replies) {
        if (r.slot == slot)
            names.push_back(NameOf(r));
    }
    return names;
}

class SearcherLab : public ::testing::Test {
  protected:
    lab::Lab m_lab;

    // A peer in host bound to port (0: any), tied to the host's end of its first link so that its
    // broadcasts leave there without a route.
    lab::UdpPeer Peer(const std::string& host, std::uint16_t port = 0) {
        return m_lab.InHost(host, [port] { return lab::UdpPeer(port, "tvl-eth0"); });
    }
    // Links host to the pc on 10.<n>.0.1/24 (pc) and 10.<n>.0.2/24 (host); returns the pc end.
    std::string LinkHost(const std::string& host, int n) {
        m_lab.AddHost(host);
        const std::string net = "10." + std::to_string(n) + ".0.";
        return m_lab.Link(host, net + "1/24", net + "2/24");
    }
};

struct ProtocolCase {
    const char* name;
    bool dh;
    std::uint16_t port;
    Bytes request;
};

void PrintTo(const ProtocolCase& c, std::ostream* os) {
    *os << c.name;
}

class BurstLab : public SearcherLab, public ::testing::WithParamInterface<ProtocolCase> {};

// Each slot sends the request twice per burst, from its own interface and address, to
// 255.255.255.255 and the protocol's port; no slot's request leaves through another interface.
TEST_P(BurstLab, EachSlotSendsTwiceFromItsOwnInterface) {
    const ProtocolCase& c = GetParam();
    const std::string pcA = LinkHost("cam-a", 1);
    LinkHost("cam-b", 2);
    m_lab.AddAddress("", pcA, "10.1.0.9/24");    // a second address in the same subnet
    m_lab.AddAddress("", pcA, "192.168.5.1/24"); // and one in another subnet, same interface
    auto peerA = Peer("cam-a", c.port);
    auto peerB = Peer("cam-b", c.port);

    CDhSearcher dh;
    CMoiSearcher moi;
    SearcherEngine& s = c.dh ? static_cast<SearcherEngine&>(dh) : static_cast<SearcherEngine&>(moi);
    ASSERT_TRUE(s.Init());
    // The kernel lists an interface's primary addresses before its secondary ones.
    ASSERT_EQ(s.m_addresses, (std::vector<std::string>{"10.1.0.1", "192.168.5.1", "10.1.0.9", "10.2.0.1"}));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(s.SendSearch());
    std::printf("%s burst over 4 slots took %lld ms\n", c.name,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count()));

    const auto gotA = peerA.ReceiveMany(100, kQuiet, kWait);
    const auto gotB = peerB.ReceiveMany(100, kQuiet, kWait);
    std::map<std::string, int> fromA;
    for (const auto& d : gotA) {
        EXPECT_EQ(d.bytes, c.request);
        EXPECT_EQ(d.to, "255.255.255.255");
        fromA[d.from + ":" + std::to_string(d.fromPort)]++;
    }
    const std::map<std::string, int> expectedA = {
        {"10.1.0.1:" + std::to_string(s.m_sockets[0].LocalPort()), 2},
        {"192.168.5.1:" + std::to_string(s.m_sockets[1].LocalPort()), 2},
        {"10.1.0.9:" + std::to_string(s.m_sockets[2].LocalPort()), 2},
    };
    EXPECT_EQ(fromA, expectedA);
    ASSERT_EQ(gotB.size(), 2u);
    for (const auto& d : gotB) {
        EXPECT_EQ(d.bytes, c.request);
        EXPECT_EQ(d.from, "10.2.0.1");
        EXPECT_EQ(d.fromPort, s.m_sockets[3].LocalPort());
        EXPECT_EQ(d.to, "255.255.255.255");
    }
    EXPECT_TRUE(s.Stop());
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, BurstLab,
    ::testing::Values(ProtocolCase{"DH", true, 8600, {0x44, 0x48, 0x01, 0x01}},
                      ProtocolCase{"MO_I", false, 10000, {0x4D, 0x4F, 0x5F, 0x49, 0, 0, 0, 0, 0,
                                                          0,    0,    0,    0,    0, 0, 4, 0, 0,
                                                          0,    0,    0,    0,    0, 0, 0, 0, 1}}),
    [](const auto& info) { return std::string(info.param.dh ? "Dh" : "Moi"); });

// A reply by unicast to the slot's address and one by broadcast (limited and subnet) reach the
// slot; a datagram for the slot's port that arrives on another interface, or that is addressed to
// another address of the same interface, does not.
TEST_F(SearcherLab, RepliesReachOnlyTheirSlot) {
    const ForcedPorts ports({21001, 21002, 21003});
    const std::string pcA = LinkHost("cam-a", 1);
    LinkHost("cam-b", 2);
    m_lab.AddAddress("", pcA, "10.1.0.9/24");
    ASSERT_EQ(m_lab.Run("cam-b", {"ip", "route", "add", "10.1.0.0/24", "via", "10.2.0.1"}), 0);
    ReplyLog log;
    CDhSearcher dh;
    log.Install(dh);
    ASSERT_TRUE(dh.Init());
    ASSERT_EQ(dh.m_addresses, (std::vector<std::string>{"10.1.0.1", "10.1.0.9", "10.2.0.1"}));
    const std::uint16_t port0 = dh.m_sockets[0].LocalPort();
    ASSERT_EQ(port0, 21001);

    auto camA = Peer("cam-a");
    auto camB = Peer("cam-b");
    // Wrong ways first: another interface (broadcast and routed unicast), another local address.
    camB.Send("255.255.255.255", port0, DhReply("wrong-if-broadcast"));
    camB.Send("10.1.0.1", port0, DhReply("wrong-if-unicast"));
    camA.Send("10.1.0.9", port0, DhReply("other-address"));
    // Right ways.
    camA.Send("10.1.0.1", port0, DhReply("unicast"));
    camA.Send("255.255.255.255", port0, DhReply("broadcast"));
    camA.Send("10.1.0.255", port0, DhReply("subnet-broadcast"));

    auto replies = log.WaitFor(3);
    std::this_thread::sleep_for(kQuiet); // room for anything that should not come
    replies = log.Now();
    EXPECT_EQ(NamesOf(replies, 0), (std::vector<std::string>{"unicast", "broadcast", "subnet-broadcast"}));
    EXPECT_EQ(replies.size(), 3u);
    for (const auto& r : replies) {
        EXPECT_EQ(r.code & 0xFFFF, DH_CMD_SEARCH_REPLY);
        EXPECT_EQ(r.length, 320);
    }
}

// Up to five addresses get a slot each; the sixth gets none and Init fails, and every loop over
// slots stops at five.
TEST_F(SearcherLab, FiveSlotsAtMost) {
    std::vector<lab::UdpPeer> peers;
    for (int i = 1; i <= 6; ++i) {
        LinkHost("cam-" + std::to_string(i), i);
        peers.push_back(Peer("cam-" + std::to_string(i), 8600));
    }
    ReplyLog log;
    CDhSearcher dh;
    log.Install(dh);
    EXPECT_FALSE(dh.Init());
    ASSERT_EQ(dh.m_addresses.size(), 6u);
    for (int k = 0; k < kMaxSlots; ++k) {
        EXPECT_TRUE(dh.m_sockets[k].IsOpen()) << k;
        EXPECT_TRUE(dh.m_threads[k].joinable()) << k;
        EXPECT_EQ(dh.m_addresses[k], "10." + std::to_string(k + 1) + ".0.1");
    }
    ASSERT_TRUE(dh.SendSearch());
    for (int i = 0; i < 6; ++i) {
        const auto got = peers[i].ReceiveMany(100, kQuiet, kWait);
        EXPECT_EQ(got.size(), i < kMaxSlots ? 2u : 0u) << "cam-" << i + 1;
    }
    // Each slot answers for its own interface.
    for (int k = 0; k < kMaxSlots; ++k) {
        auto cam = Peer("cam-" + std::to_string(k + 1));
        cam.Send("255.255.255.255", dh.m_sockets[k].LocalPort(), DhReply("cam-" + std::to_string(k + 1)));
    }
    const auto replies = log.WaitFor(kMaxSlots);
    ASSERT_EQ(replies.size(), static_cast<std::size_t>(kMaxSlots));
    for (int k = 0; k < kMaxSlots; ++k)
        EXPECT_EQ(NamesOf(replies, k), std::vector<std::string>{"cam-" + std::to_string(k + 1)});
    EXPECT_TRUE(dh.Stop());
    for (int k = 0; k < kMaxSlots; ++k) {
        EXPECT_FALSE(dh.m_sockets[k].IsOpen());
        EXPECT_FALSE(dh.m_threads[k].joinable());
    }
}

TEST_F(SearcherLab, OnlyLoopbackGivesNoSlot) {
    CDhSearcher dh;
    CMoiSearcher moi;
    EXPECT_FALSE(dh.Init());
    EXPECT_FALSE(moi.Init());
    EXPECT_TRUE(dh.m_addresses.empty());
    ASSERT_NE(dh.m_addrTable, nullptr);
    EXPECT_EQ(dh.m_addrTable->table.size(), 1u); // the loopback row is in the snapshot
    EXPECT_FALSE(dh.SendSearch());
    EXPECT_TRUE(moi.SendSearch());
    for (const auto& sock : dh.m_sockets)
        EXPECT_FALSE(sock.IsOpen());
    EXPECT_FALSE(dh.Stop());
    EXPECT_FALSE(moi.Stop());
}

// A 0-byte and an oversized datagram are dropped and the slot goes on receiving; 1400 bytes fit.
TEST_F(SearcherLab, EmptyAndOversizedDatagramsAreDropped) {
    LinkHost("cam-a", 1);
    ReplyLog log;
    CDhSearcher dh;
    log.Install(dh);
    ASSERT_TRUE(dh.Init());
    const std::uint16_t port = dh.m_sockets[0].LocalPort();
    auto cam = Peer("cam-a");
    Bytes big = DhReply("too-big");
    big.resize(1500, 0x41);
    Bytes edge = DhReply("exactly-1400");
    edge.resize(1400, 0);

    cam.Send("10.1.0.1", port, Bytes{});
    cam.Send("255.255.255.255", port, Bytes{});
    cam.Send("10.1.0.1", port, big);
    big.resize(1401);
    cam.Send("10.1.0.1", port, big);
    cam.Send("10.1.0.1", port, DhReply("after"));
    cam.Send("10.1.0.1", port, edge);
    const auto replies = log.WaitFor(2);
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(NameOf(replies[0]), "after");
    EXPECT_EQ(NameOf(replies[1]), "exactly-1400");
    EXPECT_EQ(replies[1].length, 1396);
    EXPECT_EQ(dh.m_stopFlags[0].load(), 0); // the receiver still runs
    cam.Send("10.1.0.1", port, DhReply("still-there"));
    EXPECT_EQ(log.WaitFor(3).size(), 3u);
}

// Stop wakes receivers blocked in their receive and joins them: once it returns, no callback runs,
// even one that was in progress.
TEST_F(SearcherLab, StopWakesAndJoinsReceivers) {
    LinkHost("cam-a", 1);
    LinkHost("cam-b", 2);
    ReplyLog log;
    auto dh = std::make_unique<CDhSearcher>();
    log.Install(*dh);
    ASSERT_TRUE(dh->Init());
    const std::uint16_t port0 = dh->m_sockets[0].LocalPort();

    // Both receivers are blocked: nothing was sent to them.
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(dh->Stop());
    std::printf("Stop with two blocked receivers took %lld us\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count()));
    for (int k = 0; k < 2; ++k) {
        EXPECT_FALSE(dh->m_threads[k].joinable());
        EXPECT_FALSE(dh->m_sockets[k].IsOpen());
        EXPECT_EQ(dh->m_stopFlags[k].load(), 1);
    }
    auto cam = Peer("cam-a");
    cam.Send("10.1.0.1", port0, DhReply("after-stop"));
    std::this_thread::sleep_for(kQuiet);
    EXPECT_TRUE(log.Now().empty());

    // A callback in progress: Stop returns only after it has.
    ReplyLog slow;
    slow.SlowDown(300ms);
    auto moi = std::make_unique<CMoiSearcher>();
    slow.Install(*moi);
    ASSERT_TRUE(moi->Init());
    Bytes reply = {0x4D, 0x4F, 0x5F, 0x49, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 65, 0, 0, 0, 0, 0, 0, 0};
    reply.resize(88, 0);
    cam.Send("10.1.0.1", moi->m_sockets[0].LocalPort(), reply);
    for (int i = 0; i < 300 && !slow.Entered(); ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(slow.Entered());
    start = std::chrono::steady_clock::now();
    moi.reset(); // destruction stops
    std::printf("Stop during a 300 ms callback took %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count()));
    EXPECT_EQ(slow.Now().size(), 1u); // the callback finished before the searcher was gone
}

// The second searcher draws the port the first one holds on the same interface: bind fails with
// "in use" and another port is drawn. The same port on another interface is no conflict.
TEST_F(SearcherLab, BindRetryWhenThePortIsTaken) {
    LinkHost("cam-a", 1);
    {
        CDhSearcher dh;
        CMoiSearcher moi;
        host::SeedRandom(4711); // both seeded alike, as two searchers made in the same second are
        ASSERT_TRUE(dh.Init());
        host::SeedRandom(4711);
        ASSERT_TRUE(moi.Init());
        host::SeedRandom(4711);
        const std::uint16_t first = SearcherEngine::DrawSlotPort();
        const std::uint16_t second = SearcherEngine::DrawSlotPort();
        EXPECT_EQ(dh.m_sockets[0].LocalPort(), first);
        EXPECT_EQ(moi.m_sockets[0].LocalPort(), second);
    }
    {
        const ForcedPorts ports({22000, 22000, 22001});
        CDhSearcher dh;
        CMoiSearcher moi;
        ASSERT_TRUE(dh.Init());
        ASSERT_TRUE(moi.Init());
        EXPECT_EQ(dh.m_sockets[0].LocalPort(), 22000);
        EXPECT_EQ(moi.m_sockets[0].LocalPort(), 22001);
        EXPECT_EQ(ports.Draws(), 3u);
    }
    {
        // Every draw gives the port in use: the retry gives up and the slot fails like a failed socket.
        const ForcedPorts ports({22000});
        CDhSearcher dh;
        CMoiSearcher moi;
        ASSERT_TRUE(dh.Init());
        EXPECT_FALSE(moi.Init());
        EXPECT_EQ(ports.Draws(), 1u + 64u);
        EXPECT_FALSE(moi.m_sockets[0].IsOpen());
        EXPECT_FALSE(moi.m_threads[0].joinable());
    }
    LinkHost("cam-b", 2);
    {
        const ForcedPorts ports({22000});
        CDhSearcher dh;
        EXPECT_TRUE(dh.Init());
        EXPECT_EQ(dh.m_sockets[0].LocalPort(), 22000);
        EXPECT_EQ(dh.m_sockets[1].LocalPort(), 22000);
    }
}

// Set requests leave once, through the slot of the camera; a set reply with the acknowledgement
// status signals the DH searcher's event.
TEST_F(SearcherLab, SetRequestsLeaveThroughTheCamerasSlot) {
    LinkHost("cam-a", 1);
    LinkHost("cam-b", 2);
    auto dhA = Peer("cam-a", 8600);
    auto dhB = Peer("cam-b", 8600);
    auto moiA = Peer("cam-a", 10000);
    auto moiB = Peer("cam-b", 10000);
    CDhSearcher dh;
    CMoiSearcher moi;
    ASSERT_TRUE(dh.Init());
    ASSERT_TRUE(moi.Init());

    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, "10.2.0.50");
    SetFieldText(info.szMask, "255.255.255.0");
    info.abReserved3[5] = 0x5A;
    ASSERT_TRUE(dh.SendSet(info, 1));
    ASSERT_TRUE(moi.SendSetNetwork(info, 1));

    const auto gotDh = dhB.ReceiveMany(10, kQuiet, kWait);
    ASSERT_EQ(gotDh.size(), 1u);
    const auto expectedDh = BuildDhSetRequest(info);
    EXPECT_EQ(gotDh[0].bytes, Bytes(expectedDh.begin(), expectedDh.end()));
    EXPECT_EQ(gotDh[0].from, "10.2.0.1");
    EXPECT_EQ(gotDh[0].to, "255.255.255.255");
    const auto gotMoi = moiB.ReceiveMany(10, kQuiet, kWait);
    ASSERT_EQ(gotMoi.size(), 1u);
    EXPECT_EQ(gotMoi[0].bytes.size(), 84u);
    EXPECT_EQ(gotMoi[0].from, "10.2.0.1");
    EXPECT_TRUE(dhA.ReceiveMany(10, kQuiet, kQuiet).empty());
    EXPECT_TRUE(moiA.ReceiveMany(10, kQuiet, kQuiet).empty());

    Bytes nack(328, 0);
    nack[0] = 0x44;
    nack[1] = 0x48;
    nack[2] = 0x02;
    nack[3] = 0x08;
    Bytes ack = nack;
    ack[325] = 0x80;
    auto cam = Peer("cam-b");
    cam.Send("255.255.255.255", dh.m_sockets[1].LocalPort(), nack);
    EXPECT_FALSE(dh.m_hAckEvent.Wait(kQuiet));
    cam.Send("255.255.255.255", dh.m_sockets[1].LocalPort(), ack);
    EXPECT_TRUE(dh.m_hAckEvent.Wait(kWait));
}

// The same search and replies, run as an unprivileged user (uid 65534) in the pc.
TEST_F(SearcherLab, WorksWithoutPrivilege) {
    LinkHost("cam-a", 1);
    auto cam = Peer("cam-a", 8600);
    const std::string out = m_lab.Dir() + "/helper.out";
    const int pid = m_lab.Spawn("",
                                {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                 TAVLIN_SEARCHER_USER_HELPER, "search"},
                                out);
    const auto request = cam.Receive(kWait);
    ASSERT_TRUE(request.has_value()) << "the helper sent no search";
    EXPECT_EQ(request->from, "10.1.0.1");
    auto replier = Peer("cam-a");
    replier.Send("10.1.0.1", request->fromPort, DhReply("unicast"));
    replier.Send("255.255.255.255", request->fromPort, DhReply("broadcast"));
    const auto status = m_lab.WaitExit(pid, 10s);
    std::string printed;
    for (const auto& line : lab::Lab::ReadLines(out))
        printed += line + "\n";
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << printed;
}

} // namespace
