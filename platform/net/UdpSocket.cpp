#include "platform/net/UdpSocket.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {
constexpr int kKernelChargePerPayloadByte = 4;
constexpr int kMaxPayloadBufferRequest = 1 << 24;
} // namespace

namespace net {
namespace {

// Room for the one control message the sockets use.
constexpr std::size_t kControlSize = CMSG_SPACE(sizeof(in_pktinfo));

} // namespace

UdpSocket::~UdpSocket() {
    Close();
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_sendIfIndex(other.m_sendIfIndex),
      m_sendSource(other.m_sendSource) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_sendIfIndex = other.m_sendIfIndex;
        m_sendSource = other.m_sendSource;
    }
    return *this;
}

bool UdpSocket::Open() {
    Close();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return m_fd >= 0;
}

void UdpSocket::Close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_sendIfIndex = 0;
    m_sendSource = 0;
}

int UdpSocket::SetOption(int level, int name, int value) {
    // The program sizes its receive buffers in bytes of datagrams, as a socket library that counts
    // payload does: 8192 bytes hold some 25 camera replies. Linux charges every queued datagram its
    // whole kernel buffer (about a kilobyte for a 324-byte reply) and then doubles the request, so
    // the same number would hold only a dozen, and a site whose cameras answer at once would lose
    // some. Asked for four times as much, the buffer holds at least the datagrams that many payload
    // bytes make.
    if (level == SOL_SOCKET && name == SO_RCVBUF && value > 0 && value <= kMaxPayloadBufferRequest)
        value *= kKernelChargePerPayloadByte;
    return ::setsockopt(m_fd, level, name, &value, sizeof value) == 0 ? 0 : -1;
}

int UdpSocket::BindToInterface(unsigned ifindex) {
    // SO_BINDTOIFINDEX needs no privilege as long as the socket is not tied to a device yet.
    const int index = static_cast<int>(ifindex);
    return SetOption(SOL_SOCKET, SO_BINDTOIFINDEX, index);
}

int UdpSocket::EnablePacketInfo() {
    return SetOption(IPPROTO_IP, IP_PKTINFO, 1);
}

int UdpSocket::Bind(std::uint32_t addr, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = addr;
    sa.sin_port = htons(port);
    return ::bind(m_fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 ? 0 : -1;
}

std::uint16_t UdpSocket::LocalPort() const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

void UdpSocket::SetSendSource(unsigned ifindex, std::uint32_t addr) {
    m_sendIfIndex = ifindex;
    m_sendSource = addr;
}

ssize_t UdpSocket::SendTo(const void* data, std::size_t len, const sockaddr_in& to) {
    if (m_sendIfIndex == 0) {
        return ::sendto(m_fd, data, len, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    // The source follows the bind address, and a wildcard bind would give the interface's primary
    // address: IP_PKTINFO names the interface and the source for this datagram.
    iovec iov{const_cast<void*>(data), len};
    alignas(cmsghdr) unsigned char control[kControlSize] = {};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
    cmsg->cmsg_level = IPPROTO_IP;
    cmsg->cmsg_type = IP_PKTINFO;
    cmsg->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(m_sendIfIndex);
    info.ipi_spec_dst.s_addr = m_sendSource;
    std::memcpy(CMSG_DATA(cmsg), &info, sizeof info);
    return ::sendmsg(m_fd, &msg, 0);
}

ssize_t UdpSocket::ReceiveFrom(void* buffer, std::size_t capacity, Arrival& arrival) {
    arrival = Arrival{};
    iovec iov{buffer, capacity};
    alignas(cmsghdr) unsigned char control[kControlSize] = {};
    msghdr msg{};
    msg.msg_name = &arrival.from;
    msg.msg_namelen = sizeof arrival.from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(m_fd, &msg, 0);
    if (n < 0)
        return -1;
    for (cmsghdr* cmsg = CMSG_FIRSTHDR(&msg); cmsg != nullptr; cmsg = CMSG_NXTHDR(&msg, cmsg)) {
        if (cmsg->cmsg_level != IPPROTO_IP || cmsg->cmsg_type != IP_PKTINFO)
            continue;
        in_pktinfo info{};
        std::memcpy(&info, CMSG_DATA(cmsg), sizeof info);
        arrival.hasPacketInfo = true;
        arrival.ifindex = static_cast<unsigned>(info.ipi_ifindex);
        arrival.destination = info.ipi_addr.s_addr;
    }
    // The kernel drops the tail of a datagram that does not fit and says so in MSG_TRUNC.
    if ((msg.msg_flags & MSG_TRUNC) != 0) {
        errno = EMSGSIZE;
        return -1;
    }
    return n;
}

int UdpSocket::ShutdownRead() {
    // On an unconnected datagram socket this reports ENOTCONN, yet it still wakes a blocked
    // receive, which then returns 0.
    return ::shutdown(m_fd, SHUT_RD) == 0 ? 0 : -1;
}

int UdpSocket::LastError() {
    return errno;
}

} // namespace net
