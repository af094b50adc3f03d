#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>

#include "platform/host/Event.h"
#include "platform/net/IpAddrTable.h"
#include "platform/net/UdpSocket.h"
#include "search/SearchProtocol.h"
#include "search/SearchReplyCallback.h"

// The engine that CDhSearcher and CMoiSearcher share: one UDP socket and one receiver thread per
// local IPv4 address (a slot, at most kMaxSlots), search bursts and set requests sent out of every
// slot. The protocols differ only in their SearchProtocol. Not polymorphic: a searcher is owned and
// deleted as its own class.
//
// Threads: every operation runs on the owner's thread except ReceiveLoop, which runs on the
// slot's receiver thread and calls m_callback there. Stop (and destruction) wakes and joins the
// receivers: once it returns no receiver touches the searcher or calls back. The callback must
// therefore never wait for the owner's thread, and must not call Stop.
class SearcherEngine {
  public:
    using LocalAddressList = std::vector<std::string>;

    SearcherEngine(const SearcherEngine&) = delete;
    SearcherEngine& operator=(const SearcherEngine&) = delete;

    bool Init();
    bool BuildAddressList();
    // Takes table as the searcher's snapshot and lists its addresses (all but "127.0.0.1").
    // BuildAddressList reads the host's table and hands it here; tests hand in their own.
    bool AdoptAddressTable(std::unique_ptr<net::IpAddrTable> table);
    bool OpenSlot(int slot);
    void ReceiveLoop(int slot);
    bool SendSearch();
    bool Stop();
    // Sends packet on slot's socket to m_broadcastAddr, out of the slot's interface with the slot's
    // address as source. Nothing when the slot has no socket. The result is not examined.
    void SendOnSlot(int slot, std::span<const std::uint8_t> packet);

    // The local port for a slot: a draw r of the random generator, r mod 65535, raised by 1000 when
    // below 1000, so ports lie between 1000 and 32767.
    static std::uint16_t DrawSlotPort();

    host::Event m_hAckEvent;
    sockaddr_in m_broadcastAddr{};
    std::array<net::UdpSocket, kMaxSlots> m_sockets;
    std::array<std::atomic<std::int32_t>, kMaxSlots> m_stopFlags{};
    std::array<std::thread, kMaxSlots> m_threads;
    SearchReplyCallback m_callback = nullptr;
    void* m_context = nullptr;
    std::array<std::uint32_t, kMaxSlots> m_rowIndex{};
    LocalAddressList m_addresses;
    std::unique_ptr<net::IpAddrTable> m_addrTable;

  protected:
    explicit SearcherEngine(const SearchProtocol& protocol);
    ~SearcherEngine();

  private:
    // Which arriving datagrams belong to a slot (see OpenSlot).
    struct SlotFilter {
        bool acceptAll = true;
        unsigned ifindex = 0;
        std::vector<std::uint32_t> destinations;
    };

    int SlotCount() const;
    void CloseSlot(int slot);
    bool Accepts(int slot, const net::UdpSocket::Arrival& arrival) const;

    const SearchProtocol& m_protocol;
    std::array<SlotFilter, kMaxSlots> m_filters;
};
