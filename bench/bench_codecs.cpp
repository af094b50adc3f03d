// Receive-path costs: the protocol checks, the MO_I conversion and the row texts, per reply.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "cameras/CameraRules.h"
#include "search/DhCodec.h"
#include "search/MoiCodec.h"

namespace {

std::vector<std::uint8_t> DhReply() {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, "192.168.1.10");
    SetFieldText(info.szSysVersion, "67.1.61.0");
    SetFieldText(info.szName, "Kamera \xC5\xBC\xC3\xB3\xC5\x82w \xE5\x89\x8D\xE9\x97\xA8");
    std::vector<std::uint8_t> d(1400, 0);
    const std::uint8_t header[] = {0x44, 0x48, 0x01, 0x08};
    std::memcpy(d.data(), header, 4);
    std::memcpy(d.data() + 4, &info, sizeof info);
    return d;
}

void BM_DhCheck(benchmark::State& state) {
    const auto d = DhReply();
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckDhDatagram(std::span(d.data(), 324)));
}
BENCHMARK(BM_DhCheck);

void BM_MoiCheckAndDecode(benchmark::State& state) {
    std::vector<std::uint8_t> d(1400, 0);
    const char magic[] = "MO_I";
    std::memcpy(d.data(), magic, 4);
    d[4] = 1;
    d[15] = 65;
    d[23 + 34] = 192;
    for (auto _ : state) {
        const MoiCheckResult r = CheckMoiDatagram(std::span(d.data(), 88));
        benchmark::DoNotOptimize(DecodeMoiSearchReply(r.payload));
    }
}
BENCHMARK(BM_MoiCheckAndDecode);

void BM_RowTexts(benchmark::State& state) {
    const auto d = DhReply();
    CameraInfo info;
    std::memcpy(&info, d.data() + 4, sizeof info);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ModelLabel(info, 1));
        benchmark::DoNotOptimize(NameColumnText(info));
        benchmark::DoNotOptimize(AddressColumnText(info));
    }
}
BENCHMARK(BM_RowTexts);

void BM_SubnetTestReadingTheTable(benchmark::State& state) {
    const auto d = DhReply();
    CameraInfo info;
    std::memcpy(&info, d.data() + 4, sizeof info);
    for (auto _ : state)
        benchmark::DoNotOptimize(SubnetMatchOnHost(info));
}
BENCHMARK(BM_SubnetTestReadingTheTable);

} // namespace

BENCHMARK_MAIN();
