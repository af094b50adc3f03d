// The auto-reset event across threads, and the random generator's seeding and test hook.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/host/Event.h"
#include "platform/host/Random.h"

namespace {

using namespace std::chrono_literals;

TEST(Event, OneSignalReleasesOneWait) {
    host::Event e;
    EXPECT_FALSE(e.IsSet());
    EXPECT_FALSE(e.Wait(0ms));
    e.Set();
    e.Set(); // signals do not add up
    EXPECT_TRUE(e.IsSet());
    EXPECT_TRUE(e.Wait(0ms));
    EXPECT_FALSE(e.IsSet());
    EXPECT_FALSE(e.Wait(0ms));
}

TEST(Event, ResetClearsAPendingSignal) {
    host::Event e;
    e.Set();
    e.Reset();
    EXPECT_FALSE(e.Wait(0ms));
}

TEST(Event, WakesAWaiterOnAnotherThread) {
    host::Event e;
    std::atomic<bool> woke{false};
    std::thread waiter([&] { woke = e.Wait(10s); });
    std::this_thread::sleep_for(20ms);
    e.Set();
    waiter.join();
    EXPECT_TRUE(woke);
    EXPECT_FALSE(e.IsSet()); // consumed by the waiter
}

TEST(Random, SeedDecidesTheSequence) {
    std::vector<int> a;
    std::vector<int> b;
    a.reserve(16);
    b.reserve(16);
    host::SeedRandom(99);
    for (int i = 0; i < 16; ++i)
        a.push_back(host::Random());
    host::SeedRandom(99);
    for (int i = 0; i < 16; ++i)
        b.push_back(host::Random());
    EXPECT_EQ(a, b);
    host::SeedRandom(100);
    EXPECT_NE(host::Random(), a.front());
}

TEST(Random, HookReplacesAndRestores) {
    host::SeedRandom(5);
    const int first = host::Random();
    host::SeedRandom(5);
    const auto old = host::SetRandomHook([] { return 4242; });
    EXPECT_EQ(host::Random(), 4242);
    EXPECT_EQ(host::Random(), 4242);
    host::SetRandomHook(old);
    EXPECT_EQ(host::Random(), first); // the generator did not advance while hooked
}

} // namespace
