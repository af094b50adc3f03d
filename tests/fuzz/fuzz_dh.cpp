// libFuzzer target: a DH receiver's path for one datagram, from the check to the row texts.
#include <cstring>

#include "search/DhCodec.h"
#include "tests/fuzz/FuzzRows.h"

namespace {
constexpr std::size_t kReceiveBuffer = 1400;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kReceiveBuffer)
        return 0; // the receiver drops a longer datagram before any check
    // As in the receiver: the datagram at the start of a cleared buffer.
    static std::uint8_t buffer[kReceiveBuffer];
    std::memset(buffer, 0, sizeof buffer);
    if (size > 0)
        std::memcpy(buffer, data, size);
    const DhCheckResult r = CheckDhDatagram(std::span<const std::uint8_t>(buffer, size));
    if (r.verdict == DhVerdict::SearchReply && (r.code & 0xFFFF) == DH_CMD_SEARCH_REPLY) {
        CameraInfo info;
        std::memcpy(&info, r.payload, sizeof info);
        BuildRowTexts(info, 1);
    }
    return 0;
}
