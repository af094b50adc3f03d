#include "search/MoiSearcher.h"

#include "search/MoiCodec.h"

namespace {

const std::array<std::uint8_t, kMoiSearchRequestSize> kSearchRequest = BuildMoiSearchRequest();

void HandleMoiDatagram(SearcherEngine& searcher, std::span<const std::uint8_t> datagram, int slot) {
    const MoiCheckResult r = CheckMoiDatagram(datagram);
    if (r.accepted && searcher.m_callback)
        searcher.m_callback(r.code, r.length, r.payload, searcher.m_context, slot);
}

const SearchProtocol kMoiProtocol{kMoiPort, kSearchRequest, false, &HandleMoiDatagram};

} // namespace

CMoiSearcher::CMoiSearcher() : SearcherEngine(kMoiProtocol) {}

CMoiSearcher::~CMoiSearcher() {
    Stop();
}

bool CMoiSearcher::SendSetNetwork(const CameraInfo& info, int slot) {
    SendOnSlot(slot, BuildMoiSetNetworkRequest(info));
    return true;
}
