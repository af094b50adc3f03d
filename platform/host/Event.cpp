#include "platform/host/Event.h"

namespace host {

void Event::Set() {
    {
        const std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_cv.notify_one();
}

void Event::Reset() {
    const std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool Event::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_signalled; }))
        return false;
    m_signalled = false; // auto-reset: one wait consumes one signal
    return true;
}

bool Event::IsSet() const {
    const std::lock_guard lock(m_mutex);
    return m_signalled;
}

} // namespace host
