#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace camsim {

// One datagram as camsim received it, with where it came from and where it was sent.
struct Received {
    std::vector<std::uint8_t> bytes;
    sockaddr_in from{};
    in_addr to{};    // destination of the IP header: 255.255.255.255 for a limited broadcast
    int ifindex = 0; // the interface it arrived on
};

// A UDP socket on the wildcard address, with SO_BROADCAST and SO_REUSEADDR, that reports each
// datagram's arrival interface and destination (IP_PKTINFO) and sends out of a chosen interface.
class SimSocket {
public:
    // Throws std::runtime_error when the port cannot be bound.
    explicit SimSocket(std::uint16_t port);
    ~SimSocket();
    SimSocket(const SimSocket&) = delete;
    SimSocket& operator=(const SimSocket&) = delete;

    int Fd() const { return m_fd; }
    std::uint16_t Port() const { return m_port; }

    // The next waiting datagram, without blocking; nullopt when none waits.
    std::optional<Received> Receive() const;

    // Sends out of interface ifindex (so a limited broadcast needs no route, and a unicast reaches a
    // searcher outside the camera's subnet on the same segment), from source when it is one of this
    // host's addresses, else from the interface's own. Returns 0 or the errno of the failure.
    int Send(const sockaddr_in& to, int ifindex, const std::string& source, std::span<const std::uint8_t> bytes) const;

private:
    int SendFrom(const sockaddr_in& to, int ifindex, in_addr source, std::span<const std::uint8_t> bytes) const;

    int m_fd = -1;
    std::uint16_t m_port = 0;
};

} // namespace camsim
