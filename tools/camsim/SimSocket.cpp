#include "tools/camsim/SimSocket.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace camsim {
namespace {

constexpr std::size_t kMaxDatagram = 65536;
// Many searchers at once must not make the kernel drop requests before camsim reads them.
constexpr int kReceiveBuffer = 1 << 20;

} // namespace

SimSocket::SimSocket(std::uint16_t port) : m_port(port) {
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        throw std::runtime_error("socket: " + std::string(std::strerror(errno)));
    const int on = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0 ||
        bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const std::string why = std::strerror(errno);
        close(m_fd);
        throw std::runtime_error("cannot listen on UDP " + std::to_string(port) + ": " + why);
    }
}

SimSocket::~SimSocket() { close(m_fd); }

std::optional<Received> SimSocket::Receive() const {
    Received r;
    r.bytes.resize(kMaxDatagram);
    std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    iovec iov{r.bytes.data(), r.bytes.size()};
    msghdr msg{};
    msg.msg_name = &r.from;
    msg.msg_namelen = sizeof r.from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control.data();
    msg.msg_controllen = control.size();
    ssize_t n = -1;
    do {
        n = recvmsg(m_fd, &msg, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return std::nullopt;
    r.bytes.resize(static_cast<std::size_t>(n));
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            r.to = info.ipi_addr;
            r.ifindex = info.ipi_ifindex;
        }
    }
    return r;
}

int SimSocket::SendFrom(const sockaddr_in& to, int ifindex, in_addr source,
                        std::span<const std::uint8_t> bytes) const {
    std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
    iovec iov{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control.data();
    msg.msg_controllen = control.size();
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = ifindex;
    info.ipi_spec_dst = source;
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    ssize_t n = -1;
    do {
        n = sendmsg(m_fd, &msg, 0);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? errno : 0;
}

int SimSocket::Send(const sockaddr_in& to, int ifindex, const std::string& source,
                    std::span<const std::uint8_t> bytes) const {
    in_addr from{};
    if (!source.empty() && inet_pton(AF_INET, source.c_str(), &from) == 1) {
        // The kernel refuses a source address this host does not hold (ENETUNREACH, EINVAL): then
        // the interface's own.
        if (SendFrom(to, ifindex, from, bytes) == 0)
            return 0;
    }
    return SendFrom(to, ifindex, in_addr{}, bytes);
}

} // namespace camsim
