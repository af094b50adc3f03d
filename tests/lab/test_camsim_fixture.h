#pragma once

// A camera host linked to the pc, camsim started in it, and a raw searcher in the pc. Requests are
// laid out here from the byte tables, never with camsim's own code.
#include "tools/lab/Lab.h"
#include "tools/lab/UdpPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace camsimtest {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kWait = 5s;
// How long a test listens to show that no answer comes.
constexpr auto kSilence = 300ms;
constexpr std::uint16_t kDhPort = 8600;
constexpr std::uint16_t kMoiPort = 10000;
constexpr const char* kBroadcast = "255.255.255.255";

inline Bytes DhSearch() { return {0x44, 0x48, 0x01, 0x01}; }

inline Bytes DhSet(const Bytes& record) {
    Bytes b(4 + record.size());
    b[0] = 0x44;
    b[1] = 0x48;
    b[2] = 0x02;
    b[3] = 0x01;
    std::copy(record.begin(), record.end(), b.begin() + 4);
    return b;
}

inline const Bytes kMoiMagic{'M', 'O', '_', 'I'};

inline Bytes MoiSearch() {
    Bytes b(27, 0);
    std::copy(kMoiMagic.begin(), kMoiMagic.end(), b.begin());
    b[15] = 4;
    b[26] = 1;
    return b;
}

// A set-network request: P2P identifier, user and password cut to 13 bytes; the four addresses as
// 16 bytes; the port big-endian.
inline Bytes MoiSet(const std::string& p2p, const std::string& user, const std::string& password, const Bytes& quads,
                    std::uint16_t port) {
    Bytes b(84, 0);
    std::copy(kMoiMagic.begin(), kMoiMagic.end(), b.begin());
    b[4] = 2;
    b[15] = 61;
    auto put = [&b](std::size_t offset, const std::string& text) {
        std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 13), b.begin() + static_cast<long>(offset));
    };
    put(23 + 4, p2p);
    put(23 + 17, user);
    put(23 + 30, password);
    std::copy(quads.begin(), quads.end(), b.begin() + 23 + 43);
    b[23 + 59] = static_cast<std::uint8_t>(port >> 8);
    b[23 + 60] = static_cast<std::uint8_t>(port & 0xFF);
    return b;
}

// A text field of a packet, up to its first NUL and never past its width.
inline std::string Text(const Bytes& b, std::size_t offset, std::size_t width) {
    const auto begin = b.begin() + static_cast<long>(offset);
    return std::string(begin, std::find(begin, begin + static_cast<long>(width), std::uint8_t{0}));
}

// Clears a text field of a record, then writes text into it.
inline void SetText(Bytes& record, std::size_t offset, std::size_t width, const std::string& text) {
    std::fill_n(record.begin() + static_cast<long>(offset), width, 0);
    std::copy(text.begin(), text.end(), record.begin() + static_cast<long>(offset));
}

inline Bytes Slice(const Bytes& b, std::size_t offset, std::size_t n) {
    return Bytes(b.begin() + static_cast<long>(offset), b.begin() + static_cast<long>(offset + n));
}

inline std::string Hex(const Bytes& b) {
    std::string text;
    for (const std::uint8_t byte : b) {
        constexpr const char* kDigits = "0123456789abcdef";
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// pc tvl0 10.0.0.1/24 <-> host "cam" tvl-eth0 10.0.0.5/24, and a searcher on tvl0 whose port is
// random, as the tool's are.
class CamsimTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args) { m_sim = m_lab.StartCamsim(m_cam, args); }

    std::optional<lab::Datagram> Ask(const Bytes& request, std::uint16_t port, const std::string& to = kBroadcast) {
        m_searcher.Send(to, port, request);
        return m_searcher.Receive(kWait);
    }

    // The log lines that contain needle, once there are count of them (or the wait is over).
    std::vector<std::string> Logged(const std::string& needle, std::size_t count = 1) const {
        return lab::Lab::WaitForLines(m_sim.log, needle, count, kWait);
    }

    lab::Lab m_lab;
    std::string m_cam = m_lab.AddHost("cam");
    std::string m_pcIf = m_lab.Link(m_cam, "10.0.0.1/24", "10.0.0.5/24");
    lab::UdpPeer m_searcher{0, m_pcIf};
    lab::Lab::Camsim m_sim;
};

} // namespace camsimtest
