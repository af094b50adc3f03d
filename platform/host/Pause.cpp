#include "platform/host/Pause.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

namespace host {
namespace {

std::mutex g_hookMutex;
PauseHook g_hook; // guarded by g_hookMutex

} // namespace

void Pause(int ms) {
    PauseHook hook;
    {
        const std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    // The hook runs outside the lock so that it may itself pause or install another hook.
    if (hook) {
        hook(ms);
        return;
    }
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

PauseHook SetPauseHook(PauseHook hook) {
    const std::lock_guard lock(g_hookMutex);
    return std::exchange(g_hook, std::move(hook));
}

} // namespace host
