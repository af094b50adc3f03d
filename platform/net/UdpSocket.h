#pragma once

#include <cstddef>
#include <cstdint>

#include <netinet/in.h>
#include <sys/types.h>

namespace net {

// An IPv4 datagram socket that closes itself. Results follow the socket library: 0 or a count on
// success, -1 on failure with the reason in errno (LastError()).
class UdpSocket {
  public:
    // Where a received datagram came from and how it arrived.
    struct Arrival {
        sockaddr_in from{};
        bool hasPacketInfo = false;    // the kernel attached IP_PKTINFO (every datagram once enabled)
        unsigned ifindex = 0;          // interface it arrived on
        std::uint32_t destination = 0; // its destination address (network order): unicast or broadcast
    };

    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    bool Open();
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; } // -1 while closed

    int SetOption(int level, int name, int value);
    // Ties the socket to one interface: it then receives only what arrives there and sends there.
    int BindToInterface(unsigned ifindex);
    // Makes every received datagram report its arrival interface and destination address.
    int EnablePacketInfo();
    int Bind(std::uint32_t addr, std::uint16_t port); // addr in network order, port in host order
    std::uint16_t LocalPort() const;                  // host order; 0 when unknown

    // Every later send leaves through ifindex with source address addr (network order), even where
    // the interface holds several addresses. ifindex 0 restores the kernel's choice.
    void SetSendSource(unsigned ifindex, std::uint32_t addr);
    ssize_t SendTo(const void* data, std::size_t len, const sockaddr_in& to);

    // Blocks for one datagram. A datagram longer than capacity is a failed receive (-1, EMSGSIZE);
    // 0 is an empty datagram, or a wake-up after ShutdownRead (then without packet info).
    ssize_t ReceiveFrom(void* buffer, std::size_t capacity, Arrival& arrival);
    // Wakes a thread blocked in ReceiveFrom on this socket (it returns 0).
    int ShutdownRead();

    static int LastError();

  private:
    int m_fd = -1;
    unsigned m_sendIfIndex = 0;
    std::uint32_t m_sendSource = 0;
};

} // namespace net
