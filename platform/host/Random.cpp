#include "platform/host/Random.h"

#include <cstdint>
#include <ctime>
#include <mutex>
#include <utility>

namespace host {
namespace {

// Linear congruential generator with the classic C-library constants; a value is bits 16..30 of
// the state, so values run from 0 to 32767.
constexpr std::uint32_t kMultiplier = 214013U;
constexpr std::uint32_t kIncrement = 2531011U;
constexpr int kValueShift = 16;
constexpr std::uint32_t kValueMask = 0x7FFFU;

std::mutex g_mutex;
std::uint32_t g_state = 1; // guarded by g_mutex
RandomHook g_hook;         // guarded by g_mutex

} // namespace

void SeedRandomFromTime() {
    SeedRandom(static_cast<unsigned>(std::time(nullptr)));
}

void SeedRandom(unsigned seed) {
    const std::lock_guard lock(g_mutex);
    g_state = seed;
}

int Random() {
    RandomHook hook;
    {
        const std::lock_guard lock(g_mutex);
        if (!g_hook) {
            g_state = g_state * kMultiplier + kIncrement;
            return static_cast<int>((g_state >> kValueShift) & kValueMask);
        }
        hook = g_hook;
    }
    return hook();
}

RandomHook SetRandomHook(RandomHook hook) {
    const std::lock_guard lock(g_mutex);
    return std::exchange(g_hook, std::move(hook));
}

} // namespace host
