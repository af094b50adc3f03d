// Address helpers: inet_addr rules and the per-thread text buffer.
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/net/InetAddr.h"

namespace {

std::uint32_t Net(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    const std::uint8_t bytes[4] = {a, b, c, d};
    std::uint32_t v = 0;
    std::memcpy(&v, bytes, 4); // network order: first part first in memory
    return v;
}

TEST(InetAddr, Table) {
    struct Case {
        const char* text;
        std::uint32_t addr;
    };
    const Case cases[] = {
        {"192.168.1.10", Net(192, 168, 1, 10)},
        {"0.0.0.0", 0},
        {"255.255.255.0", Net(255, 255, 255, 0)},
        {"255.255.255.255", 0xFFFFFFFF},
        {"10.1", Net(10, 0, 0, 1)},     // the classic short forms
        {"0x7f.1", Net(127, 0, 0, 1)},  // hexadecimal part
        {"010.0.0.1", Net(8, 0, 0, 1)}, // octal part
        {"", 0xFFFFFFFF},
        {"abc", 0xFFFFFFFF},
        {"1.2.3.256", 0xFFFFFFFF},
        {"1.2.3.4.5", 0xFFFFFFFF},
        {"1..2.3", 0xFFFFFFFF},
        {nullptr, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(net::InetAddr(c.text), c.addr);
    }
}

TEST(InetNtoa, FormatsEveryByteUnsigned) {
    EXPECT_STREQ(net::InetNtoa(Net(192, 168, 1, 10)), "192.168.1.10");
    EXPECT_STREQ(net::InetNtoa(0xFFFFFFFF), "255.255.255.255");
    EXPECT_STREQ(net::InetNtoa(0), "0.0.0.0");
}

TEST(InetNtoa, TextLivesUntilTheNextCallOnTheSameThread) {
    const char* mine = net::InetNtoa(Net(10, 0, 0, 1));
    std::thread other([] {
        for (int i = 0; i < 1000; ++i)
            net::InetNtoa(Net(172, 16, 0, static_cast<std::uint8_t>(i)));
    });
    other.join();
    EXPECT_STREQ(mine, "10.0.0.1");
    net::InetNtoa(Net(1, 2, 3, 4));
    EXPECT_STREQ(mine, "1.2.3.4"); // the same buffer, overwritten by this thread's next call
}

} // namespace
