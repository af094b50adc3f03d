#include "tools/camsim/DatagramLog.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace camsim {

DatagramLog::DatagramLog(const std::string& path) {
    if (path.empty())
        return;
    constexpr mode_t kMode = 0644;
    m_fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, kMode);
    if (m_fd < 0)
        throw std::runtime_error("cannot open log " + path + ": " + std::strerror(errno));
}

DatagramLog::~DatagramLog() {
    if (m_fd >= 0)
        close(m_fd);
}

void DatagramLog::Write(const std::string& line) const {
    if (m_fd < 0)
        return;
    const std::string text = line + "\n";
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(m_fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // a full disk loses log lines, never the camera's answers
        done += static_cast<std::size_t>(n);
    }
}

std::string DatagramLog::Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm utc{};
    gmtime_r(&ts.tv_sec, &utc);
    std::array<char, 64> text{};
    constexpr long kNanosPerMicro = 1000;
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%06ldZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ts.tv_nsec / kNanosPerMicro);
    return text.data();
}

} // namespace camsim
