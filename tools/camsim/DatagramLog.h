#pragma once

#include <string>

namespace camsim {

// The datagram log: one line per write, each line reaching the file in one write() so that a reader
// that polls the file sees whole lines only.
class DatagramLog {
public:
    // An empty path logs nothing. Throws std::runtime_error when the file cannot be opened.
    explicit DatagramLog(const std::string& path);
    ~DatagramLog();
    DatagramLog(const DatagramLog&) = delete;
    DatagramLog& operator=(const DatagramLog&) = delete;

    void Write(const std::string& line) const;

    // The current UTC time as 2025-01-31T12:34:56.123456Z.
    static std::string Now();

private:
    int m_fd = -1;
};

} // namespace camsim
