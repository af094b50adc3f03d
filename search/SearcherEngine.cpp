#include "search/SearcherEngine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <arpa/inet.h>
#include <sys/socket.h>

#include "platform/host/Pause.h"
#include "platform/host/Random.h"
#include "platform/net/InetAddr.h"

namespace {

constexpr int kPauseMs = 50;
constexpr int kBufferSize = 8192; // SO_SNDBUF and SO_RCVBUF
constexpr std::size_t kReceiveSize = 1400;
constexpr int kBurstPasses = 2;
constexpr int kPortModulus = 65535;
constexpr std::uint16_t kLowestPort = 1000;
// Two searchers seeded in the same second draw the same ports, so a bind in use is normal and
// another port is drawn; the bound keeps a host with every port taken from looping for ever.
constexpr int kMaxBindDraws = 64;
constexpr char kLoopbackText[] = "127.0.0.1";

} // namespace

SearcherEngine::SearcherEngine(const SearchProtocol& protocol) : m_protocol(protocol) {
    // Each searcher seeds the process-wide generator again: two searchers made in the same second
    // start from the same seed, and the bind retry resolves the port they then share.
    host::SeedRandomFromTime();
}

SearcherEngine::~SearcherEngine() {
    Stop();
    for (int k = 0; k < kMaxSlots; ++k)
        CloseSlot(k);
    m_addrTable.reset();
    m_addresses.clear();
}

int SearcherEngine::SlotCount() const {
    return static_cast<int>(std::min<std::size_t>(m_addresses.size(), kMaxSlots));
}

std::uint16_t SearcherEngine::DrawSlotPort() {
    auto port = static_cast<std::uint16_t>(host::Random() % kPortModulus);
    if (port < kLowestPort)
        port = static_cast<std::uint16_t>(port + kLowestPort);
    return port;
}

bool SearcherEngine::Init() {
    m_broadcastAddr = sockaddr_in{};
    m_broadcastAddr.sin_family = AF_INET;
    m_broadcastAddr.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    m_broadcastAddr.sin_port = htons(m_protocol.port);

    BuildAddressList();
    if (m_addresses.empty())
        return false;
    // With more than five addresses the sixth OpenSlot fails, and so does Init.
    for (int k = 0; k < static_cast<int>(m_addresses.size()); ++k) {
        if (!OpenSlot(k))
            return false;
        host::Pause(kPauseMs);
    }
    return true;
}

bool SearcherEngine::BuildAddressList() {
    m_addresses.clear();
    auto table = std::make_unique<net::IpAddrTable>();
    if (!net::GetIpAddrTable(*table)) {
        m_addrTable = std::move(table);
        return false;
    }
    return AdoptAddressTable(std::move(table));
}

bool SearcherEngine::AdoptAddressTable(std::unique_ptr<net::IpAddrTable> table) {
    m_addresses.clear();
    m_addrTable = std::move(table);
    if (!m_addrTable)
        return false;
    for (std::size_t r = 0; r < m_addrTable->table.size(); ++r) {
        const std::string text = net::InetNtoa(m_addrTable->table[r].dwAddr);
        // Only this exact text is skipped: 127.0.0.2 or 0.0.0.0 are listed.
        if (text == kLoopbackText)
            continue;
        m_addresses.push_back(text);
        if (m_addresses.size() <= kMaxSlots)
            m_rowIndex[m_addresses.size() - 1] = static_cast<std::uint32_t>(r);
    }
    return !m_addresses.empty();
}

// Linux delivers to a socket bound to a unicast interface address neither 255.255.255.255 nor the
// subnet broadcast, yet a camera outside the PC's subnets can only answer by broadcast. So a slot's
// socket binds the wildcard address and its port, is tied to the slot's interface (SO_BINDTOIFINDEX:
// only datagrams that arrive there), and checks each datagram's destination (IP_PKTINFO): the slot's
// own address or a broadcast address of that interface. Its sends name the interface and the slot's
// address as source (UdpSocket::SetSendSource). A slot on 0.0.0.0 binds the wildcard address with no
// interface and takes everything that reaches its port.
bool SearcherEngine::OpenSlot(int slot) {
    if (slot < 0 || slot >= static_cast<int>(m_addresses.size()) || slot >= kMaxSlots)
        return false;
    net::UdpSocket& sock = m_sockets[slot];
    if (sock.IsOpen())
        return true;
    if (!sock.Open())
        return false;
    if (sock.SetOption(SOL_SOCKET, SO_BROADCAST, 1) != 0) {
        sock.Close();
        return false;
    }
    if (sock.SetOption(SOL_SOCKET, SO_SNDBUF, kBufferSize) != 0)
        std::printf("Error in setsockopt(SO_SNDBUF), errno=%ld\n",
                    static_cast<long>(net::UdpSocket::LastError()));
    if (sock.SetOption(SOL_SOCKET, SO_RCVBUF, kBufferSize) != 0)
        std::printf("Error in setsockopt(SO_RCVBUF), errno=%ld\n",
                    static_cast<long>(net::UdpSocket::LastError()));

    const net::IpAddrRow* row = nullptr;
    if (m_addrTable && m_rowIndex[slot] < m_addrTable->table.size())
        row = &m_addrTable->table[m_rowIndex[slot]];
    const std::uint32_t address = row ? row->dwAddr : net::InetAddr(m_addresses[slot].c_str());
    SlotFilter filter;
    std::uint32_t bindAddress = htonl(INADDR_ANY);
    if (!row) {
        bindAddress = address; // no table row to name the interface: a plain bind to the address
    } else if (address != htonl(INADDR_ANY)) {
        // Tied to its device before bind, so that the same port on another interface is no conflict
        // while the same port on this one is. Failing here fails the slot like a failed socket.
        if (sock.BindToInterface(row->dwIndex) != 0 || sock.EnablePacketInfo() != 0) {
            sock.Close();
            return false;
        }
        filter.acceptAll = false;
        filter.ifindex = row->dwIndex;
        filter.destinations = {address, htonl(INADDR_BROADCAST)};
        for (const net::IpAddrRow& other : m_addrTable->table) {
            if (other.dwIndex == row->dwIndex) {
                filter.destinations.push_back(other.dwBCastAddr);
                filter.destinations.push_back(other.dwAddr | ~other.dwMask);
            }
        }
    }
    if (filter.acceptAll && sock.EnablePacketInfo() != 0) {
        sock.Close();
        return false;
    }

    bool bound = false;
    for (int draw = 0; draw < kMaxBindDraws && !bound; ++draw) {
        if (sock.Bind(bindAddress, DrawSlotPort()) == 0)
            bound = true;
        else if (net::UdpSocket::LastError() != EADDRINUSE)
            break; // no other port would do better
    }
    if (!bound) {
        sock.Close();
        return false;
    }
    if (!filter.acceptAll)
        sock.SetSendSource(filter.ifindex, address);
    m_filters[slot] = std::move(filter);

    m_stopFlags[slot].store(0);
    if (m_threads[slot].joinable())
        return true;
    try {
        m_threads[slot] = std::thread(&SearcherEngine::ReceiveLoop, this, slot);
    } catch (const std::system_error&) {
        // No receiver: the slot still sends, nothing is received on it.
    }
    return true;
}

bool SearcherEngine::Accepts(int slot, const net::UdpSocket::Arrival& arrival) const {
    const SlotFilter& filter = m_filters[slot];
    if (filter.acceptAll)
        return true;
    if (!arrival.hasPacketInfo || arrival.ifindex != filter.ifindex)
        return false;
    return std::find(filter.destinations.begin(), filter.destinations.end(), arrival.destination) !=
           filter.destinations.end();
}

void SearcherEngine::ReceiveLoop(int slot) {
    if (slot < 0 || slot >= kMaxSlots || m_addresses.empty() || m_stopFlags[slot].load() != 0)
        return;
    net::UdpSocket& sock = m_sockets[slot];
    do {
        // Cleared before every receive: bytes after the end of a datagram read as zero.
        std::uint8_t buffer[kReceiveSize] = {};
        net::UdpSocket::Arrival arrival;
        const ssize_t n = sock.ReceiveFrom(buffer, sizeof buffer, arrival);
        const int error = net::UdpSocket::LastError();
        // Stop sets the flag before it wakes the receive: the flag, not the 0 bytes, means stop.
        if (m_stopFlags[slot].load() != 0)
            break;
        if (n < 0) {
            // An oversized datagram is dropped; only a failure of the socket itself ends the
            // receiver, or any host could blind an interface with one datagram.
            if (error == EINTR || error == EAGAIN || error == EMSGSIZE)
                continue;
            m_stopFlags[slot].store(1);
            break;
        }
        if (n == 0 && !arrival.hasPacketInfo) {
            // Woken without a datagram: the socket's receiving side is shut down.
            m_stopFlags[slot].store(1);
            break;
        }
        if (n == 0 || !Accepts(slot, arrival))
            continue; // an empty datagram, or one that belongs to another address or interface
        m_protocol.handleDatagram(*this, std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)),
                                  slot);
    } while (m_stopFlags[slot].load() == 0);
}

void SearcherEngine::SendOnSlot(int slot, std::span<const std::uint8_t> packet) {
    if (slot < 0 || slot >= kMaxSlots || !m_sockets[slot].IsOpen())
        return;
    m_sockets[slot].SendTo(packet.data(), packet.size(), m_broadcastAddr);
}

bool SearcherEngine::SendSearch() {
    if (m_protocol.searchFailsWithoutAddress && m_addresses.empty())
        return false;
    // Two passes; each send is followed by a pause, and each pass by one more. A slot without a
    // socket sends nothing and still takes its pause.
    for (int pass = 0; pass < kBurstPasses; ++pass) {
        for (int k = 0; k < SlotCount(); ++k) {
            SendOnSlot(k, m_protocol.searchRequest);
            host::Pause(kPauseMs);
        }
        host::Pause(kPauseMs);
    }
    return true;
}

bool SearcherEngine::Stop() {
    if (m_addresses.empty())
        return false;
    for (int k = 0; k < SlotCount(); ++k)
        CloseSlot(k);
    return true;
}

// Wake and join: the flag first, then the wake-up of a blocked receive, then the join, and only
// then the close, so that no receiver ever works on a closed (or reused) descriptor.
void SearcherEngine::CloseSlot(int slot) {
    m_stopFlags[slot].store(1);
    if (m_sockets[slot].IsOpen())
        m_sockets[slot].ShutdownRead();
    if (m_threads[slot].joinable())
        m_threads[slot].join();
    m_sockets[slot].Close();
}
