// The searcher engine's rules that need no socket: address list, slot bounds, port rule, burst
// pauses, and what the searchers do without slots.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "platform/host/Pause.h"
#include "platform/host/Random.h"
#include "search/DhSearcher.h"
#include "search/MoiSearcher.h"

namespace {

// Installs a pause recorder for the test's lifetime.
class PauseRecorder {
  public:
    PauseRecorder() {
        m_old = host::SetPauseHook([this](int ms) { pauses.push_back(ms); });
    }
    ~PauseRecorder() { host::SetPauseHook(m_old); }
    PauseRecorder(const PauseRecorder&) = delete;
    PauseRecorder& operator=(const PauseRecorder&) = delete;
    std::vector<int> pauses;

  private:
    host::PauseHook m_old;
};

class RandomValues {
  public:
    explicit RandomValues(std::vector<int> values) : m_values(std::move(values)) {
        m_old = host::SetRandomHook([this] { return m_values.at(m_next++); });
    }
    ~RandomValues() { host::SetRandomHook(m_old); }
    RandomValues(const RandomValues&) = delete;
    RandomValues& operator=(const RandomValues&) = delete;

  private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
    host::RandomHook m_old;
};

net::IpAddrRow Row(const char* addr, std::uint32_t index) {
    net::IpAddrRow row{};
    row.dwAddr = inet_addr(addr);
    row.dwIndex = index;
    row.dwMask = inet_addr("255.255.255.0");
    return row;
}

std::unique_ptr<net::IpAddrTable> Table(std::initializer_list<const char*> addresses) {
    auto t = std::make_unique<net::IpAddrTable>();
    std::uint32_t index = 1;
    for (const char* a : addresses)
        t->table.push_back(Row(a, index++));
    t->dwNumEntries = static_cast<std::uint32_t>(t->table.size());
    return t;
}

std::vector<std::string> Addresses(std::size_t n) {
    std::vector<std::string> list;
    for (std::size_t i = 0; i < n; ++i)
        list.push_back("10.0." + std::to_string(i) + ".1");
    return list;
}

TEST(SearcherEngine, AddressListSkipsOnlyTheExactLoopbackText) {
    CDhSearcher s;
    const bool any = s.AdoptAddressTable(Table({"127.0.0.1", "10.0.0.1", "127.0.0.2", "0.0.0.0", "127.0.0.1",
                                                "192.168.1.2", "172.16.0.1", "10.9.9.9"}));
    EXPECT_TRUE(any);
    EXPECT_EQ(s.m_addresses, (std::vector<std::string>{"10.0.0.1", "127.0.0.2", "0.0.0.0", "192.168.1.2",
                                                       "172.16.0.1", "10.9.9.9"}));
    // Row numbers count the skipped rows; only the first five kept addresses get one.
    EXPECT_EQ(s.m_rowIndex, (std::array<std::uint32_t, kMaxSlots>{1, 2, 3, 5, 6}));
    ASSERT_NE(s.m_addrTable, nullptr);
    EXPECT_EQ(s.m_addrTable->table.size(), 8u);
}

TEST(SearcherEngine, OnlyLoopbackGivesNoAddress) {
    CMoiSearcher s;
    EXPECT_FALSE(s.AdoptAddressTable(Table({"127.0.0.1"})));
    EXPECT_TRUE(s.m_addresses.empty());
    EXPECT_NE(s.m_addrTable, nullptr); // the snapshot is kept all the same
    EXPECT_FALSE(s.AdoptAddressTable(Table({})));
}

// Slots outside 0..4 or beyond the address list fail before any socket exists.
TEST(SearcherEngine, OpenSlotBounds) {
    CDhSearcher s;
    s.m_addresses = Addresses(6);
    for (int slot : {-1, 5, 6, 100}) {
        EXPECT_FALSE(s.OpenSlot(slot)) << slot;
    }
    s.m_addresses = Addresses(2);
    EXPECT_FALSE(s.OpenSlot(2));
    for (const auto& sock : s.m_sockets)
        EXPECT_EQ(sock.Fd(), -1);
}

TEST(SearcherEngine, PortRule) {
    struct Case {
        int draw;
        std::uint16_t port;
    };
    const Case cases[] = {{999, 1999}, {1000, 1000}, {0, 1000}, {32767, 32767}, {1, 1001}, {12345, 12345}};
    for (const auto& c : cases) {
        RandomValues values({c.draw});
        EXPECT_EQ(SearcherEngine::DrawSlotPort(), c.port) << c.draw;
    }
}

TEST(SearcherEngine, GeneratorRange) {
    host::SeedRandom(0);
    for (int i = 0; i < 100000; ++i) {
        const int v = host::Random();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

// Two searchers seeded alike draw the same ports: the reason the bind retry exists.
TEST(SearcherEngine, SameSeedSameDraws) {
    host::SeedRandom(1234);
    const std::uint16_t a1 = SearcherEngine::DrawSlotPort();
    const std::uint16_t a2 = SearcherEngine::DrawSlotPort();
    host::SeedRandom(1234);
    EXPECT_EQ(SearcherEngine::DrawSlotPort(), a1);
    EXPECT_EQ(SearcherEngine::DrawSlotPort(), a2);
}

struct BurstCase {
    const char* name;
    bool dh;
    std::size_t addresses;
    bool result;
    std::size_t pauses; // each 50 ms
};

TEST(SearcherEngine, BurstPauses) {
    const BurstCase cases[] = {
        {"DH, no address", true, 0, false, 0},
        {"MO_I, no address", false, 0, true, 2},
        {"DH, one slot", true, 1, true, 4},
        {"MO_I, one slot", false, 1, true, 4},
        {"DH, three slots", true, 3, true, 8},
        {"DH, six addresses stop at five slots", true, 6, true, 12},
        {"MO_I, six addresses stop at five slots", false, 6, true, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PauseRecorder recorder;
        bool result = false;
        if (c.dh) {
            CDhSearcher s;
            s.m_addresses = Addresses(c.addresses);
            result = s.SendSearch();
        } else {
            CMoiSearcher s;
            s.m_addresses = Addresses(c.addresses);
            result = s.SendSearch();
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(recorder.pauses, std::vector<int>(c.pauses, 50));
    }
}

// The real pauses, for the record: two passes over one slot take four pauses.
TEST(SearcherEngine, BurstTimingPrinted) {
    CDhSearcher s;
    s.m_addresses = Addresses(1);
    const auto start = std::chrono::steady_clock::now();
    s.SendSearch();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("one-slot DH burst took %lld ms (four 50 ms pauses)\n", static_cast<long long>(ms.count()));
}

TEST(SearcherEngine, WithoutSlots) {
    CDhSearcher dh;
    EXPECT_FALSE(dh.Stop()); // no address
    dh.m_hAckEvent.Set();
    CameraInfo info = ZeroCameraInfo();
    // A slot without a socket, or out of range, sends nothing; the event is reset all the same.
    for (int slot : {-1, 0, 4, 5, 1000})
        EXPECT_TRUE(dh.SendSet(info, slot));
    EXPECT_FALSE(dh.m_hAckEvent.IsSet());

    CMoiSearcher moi;
    for (int slot : {-1, 0, 5})
        EXPECT_TRUE(moi.SendSetNetwork(info, slot));
    moi.m_addresses = Addresses(2);
    EXPECT_TRUE(moi.Stop());
    EXPECT_EQ(moi.m_stopFlags[0].load(), 1);
    EXPECT_EQ(moi.m_stopFlags[1].load(), 1);
}

} // namespace
