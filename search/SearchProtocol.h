#pragma once

#include <cstdint>
#include <span>

class SearcherEngine;

// What sets one discovery protocol apart inside the shared searcher engine.
struct SearchProtocol {
    std::uint16_t port; // destination port of every packet the searcher sends
    std::span<const std::uint8_t> searchRequest;
    // A burst on a searcher without addresses: false at once (DH), or both passes with their
    // pauses and true (MO_I).
    bool searchFailsWithoutAddress;
    // Applies the protocol's check to one received datagram of slot, on that slot's receiver
    // thread. The datagram lies at the start of a zero-filled receive buffer.
    void (*handleDatagram)(SearcherEngine& searcher, std::span<const std::uint8_t> datagram, int slot);
};
