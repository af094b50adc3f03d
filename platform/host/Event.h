#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace host {

// Auto-reset event: Set wakes one waiter (or the next one to wait) and clears itself.
class Event {
public:
    void Set();
    void Reset();
    // True when the event was signalled within the timeout; the signal is consumed.
    bool Wait(std::chrono::milliseconds timeout);
    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_signalled = false;
};

} // namespace host
