#pragma once

#include "cameras/CameraInfo.h"
#include "search/SearcherEngine.h"

// MO_I discovery on UDP port 10000: the same members and operations as CDhSearcher (see there).
// The receiver hands each search reply to m_callback (code 1, length 65, payload = datagram from
// byte 23; DecodeMoiSearchReply turns it into a CameraInfo). m_hAckEvent exists and is never used.
// SendSearch on a searcher without addresses sends nothing, still pauses twice and returns true.
class CMoiSearcher : public SearcherEngine {
  public:
    CMoiSearcher();
    ~CMoiSearcher();

    // The 84-byte set-network request for info, sent once on slot's socket to 255.255.255.255:10000.
    // Nothing waits for an answer. Always true.
    bool SendSetNetwork(const CameraInfo& info, int slot);
};
