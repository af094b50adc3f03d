#include "search/DhSearcher.h"

#include "search/DhCodec.h"

namespace {

const std::array<std::uint8_t, kDhSearchRequestSize> kSearchRequest = BuildDhSearchRequest();

void HandleDhDatagram(SearcherEngine& searcher, std::span<const std::uint8_t> datagram, int slot) {
    const DhCheckResult r = CheckDhDatagram(datagram);
    switch (r.verdict) {
    case DhVerdict::SearchReply:
        if (searcher.m_callback)
            searcher.m_callback(r.code, r.length, r.payload, searcher.m_context, slot);
        break;
    case DhVerdict::SetAck:
        searcher.m_hAckEvent.Set();
        break;
    case DhVerdict::Drop:
        break;
    }
}

const SearchProtocol kDhProtocol{kDhPort, kSearchRequest, true, &HandleDhDatagram};

} // namespace

CDhSearcher::CDhSearcher() : SearcherEngine(kDhProtocol) {}

CDhSearcher::~CDhSearcher() {
    Stop();
}

bool CDhSearcher::SendSet(const CameraInfo& info, int slot) {
    const auto packet = BuildDhSetRequest(info);
    m_hAckEvent.Reset();
    SendOnSlot(slot, packet);
    return true;
}
