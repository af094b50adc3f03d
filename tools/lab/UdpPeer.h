#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lab {

// One received datagram and where it came from and went to.
struct Datagram {
    std::vector<std::uint8_t> bytes;
    std::string from;
    std::uint16_t fromPort = 0;
    // Destination address of the IP header: tells a broadcast (255.255.255.255) from a unicast.
    std::string to;
    int ifindex = 0;
};

// A raw UDP endpoint for lab tests: sends exact bytes and reports exactly what arrived. It belongs to
// the network namespace of the thread that opens it (use Lab::InHost to open one in a host).
class UdpPeer {
public:
    // Bound to bindAddr:port (0: any free port) with SO_BROADCAST and SO_REUSEADDR. A device ties the
    // socket to that interface: a broadcast then leaves through it, with no route needed, and only
    // what arrives on it is received. Throws std::runtime_error on failure.
    explicit UdpPeer(std::uint16_t port = 0, const std::string& device = "",
                     const std::string& bindAddr = "0.0.0.0");
    ~UdpPeer();
    UdpPeer(UdpPeer&& other) noexcept;
    UdpPeer& operator=(UdpPeer&& other) noexcept;
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    std::uint16_t Port() const;

    // Throws std::runtime_error when the datagram cannot be sent.
    void Send(const std::string& ip, std::uint16_t port, std::span<const std::uint8_t> bytes) const;

    // The next datagram, or nullopt when none arrives within timeout.
    std::optional<Datagram> Receive(std::chrono::milliseconds timeout) const;

    // Everything that arrives until nothing came for `quiet`, `count` datagrams have come, or `limit`
    // has passed.
    std::vector<Datagram> ReceiveMany(std::size_t count, std::chrono::milliseconds quiet,
                                      std::chrono::milliseconds limit) const;

private:
    int m_fd = -1;
};

} // namespace lab
