#include "tools/lab/UdpPeer.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace lab {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("UdpPeer: " + what + ": " + std::strerror(errno));
}

sockaddr_in MakeAddress(const std::string& ip, std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &addr.sin_addr) != 1)
        throw std::runtime_error("UdpPeer: not an IPv4 address: " + ip);
    return addr;
}

std::string AddressText(const in_addr& addr) {
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &addr, text.data(), text.size());
    return text.data();
}

int Millis(std::chrono::steady_clock::duration d) {
    return static_cast<int>(std::max<std::int64_t>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(d).count()));
}

} // namespace

UdpPeer::UdpPeer(std::uint16_t port, const std::string& device, const std::string& bindAddr) {
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        Fail("socket");
    const int on = 1;
    if (setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
        const int saved = errno;
        close(m_fd);
        errno = saved;
        Fail("setsockopt");
    }
    if (!device.empty() &&
        setsockopt(m_fd, SOL_SOCKET, SO_BINDTODEVICE, device.c_str(), static_cast<socklen_t>(device.size())) != 0) {
        const int saved = errno;
        close(m_fd);
        errno = saved;
        Fail("SO_BINDTODEVICE " + device);
    }
    const sockaddr_in addr = MakeAddress(bindAddr, port);
    if (bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int saved = errno;
        close(m_fd);
        errno = saved;
        Fail("bind " + bindAddr + ":" + std::to_string(port));
    }
}

UdpPeer::~UdpPeer() {
    if (m_fd >= 0)
        close(m_fd);
}

UdpPeer::UdpPeer(UdpPeer&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

UdpPeer& UdpPeer::operator=(UdpPeer&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

std::uint16_t UdpPeer::Port() const {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        Fail("getsockname");
    return ntohs(addr.sin_port);
}

void UdpPeer::Send(const std::string& ip, std::uint16_t port, std::span<const std::uint8_t> bytes) const {
    const sockaddr_in addr = MakeAddress(ip, port);
    const ssize_t n = sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&addr),
                             sizeof addr);
    if (n < 0 || static_cast<std::size_t>(n) != bytes.size())
        Fail("sendto " + ip + ":" + std::to_string(port));
}

std::optional<Datagram> UdpPeer::Receive(std::chrono::milliseconds timeout) const {
    pollfd pfd{m_fd, POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const int r = poll(&pfd, 1, Millis(deadline - std::chrono::steady_clock::now()));
        if (r > 0)
            break;
        if (r == 0)
            return std::nullopt;
        if (errno != EINTR)
            Fail("poll");
    }

    constexpr std::size_t kMaxDatagram = 65536;
    Datagram d;
    d.bytes.resize(kMaxDatagram);
    sockaddr_in from{};
    std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    iovec iov{d.bytes.data(), d.bytes.size()};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control.data();
    msg.msg_controllen = control.size();
    const ssize_t n = recvmsg(m_fd, &msg, 0);
    if (n < 0)
        Fail("recvmsg");
    d.bytes.resize(static_cast<std::size_t>(n));
    d.from = AddressText(from.sin_addr);
    d.fromPort = ntohs(from.sin_port);
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            d.to = AddressText(info.ipi_addr);
            d.ifindex = info.ipi_ifindex;
        }
    }
    return d;
}

std::vector<Datagram> UdpPeer::ReceiveMany(std::size_t count, std::chrono::milliseconds quiet,
                                           std::chrono::milliseconds limit) const {
    std::vector<Datagram> got;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        auto d = Receive(std::min(quiet, left));
        if (!d)
            break;
        got.push_back(std::move(*d));
    }
    return got;
}

} // namespace lab
