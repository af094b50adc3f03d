// libFuzzer target: an MO_I receiver's path for one datagram, from the check through the
// conversion into a camera record to the row texts.
#include <cstring>

#include "search/MoiCodec.h"
#include "tests/fuzz/FuzzRows.h"

namespace {
constexpr std::size_t kReceiveBuffer = 1400;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kReceiveBuffer)
        return 0;
    static std::uint8_t buffer[kReceiveBuffer];
    std::memset(buffer, 0, sizeof buffer);
    if (size > 0)
        std::memcpy(buffer, data, size);
    const MoiCheckResult r = CheckMoiDatagram(std::span<const std::uint8_t>(buffer, size));
    if (r.accepted) {
        BuildRowTexts(DecodeMoiSearchReply(r.payload), 0);
        // The bounded form must agree with the buffer form on what the datagram carried.
        const CameraInfo bounded = DecodeMoiSearchReply(std::span<const std::uint8_t>(data + 23, size - 23));
        const CameraInfo full = DecodeMoiSearchReply(r.payload);
        if (std::memcmp(&bounded, &full, sizeof full) != 0)
            __builtin_trap();
    }
    return 0;
}
