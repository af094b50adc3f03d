#pragma once

#include "cameras/CameraInfo.h"
#include "search/SearcherEngine.h"

// DH discovery on UDP port 8600. Typical use, on the owner's thread:
//   CDhSearcher s; s.m_callback = ...; s.m_context = ...; s.Init(); s.SendSearch(); ... s.Stop();
// The members (m_hAckEvent, m_broadcastAddr, m_sockets, m_stopFlags, m_threads, m_callback,
// m_context, m_rowIndex, m_addresses, m_addrTable) and Init, SendSearch, Stop are the engine's.
// The receiver hands each search reply to m_callback (code = bytes 2-5 LE, length = n - 4, payload
// = datagram from byte 4) and signals m_hAckEvent on a set reply with status DH_SET_ACK.
class CDhSearcher : public SearcherEngine {
  public:
    CDhSearcher();
    ~CDhSearcher();

    // The 324-byte set request for info, sent once on slot's socket to 255.255.255.255:8600 after
    // m_hAckEvent is reset. Nothing waits for the answer. Always true.
    bool SendSet(const CameraInfo& info, int slot);
};
