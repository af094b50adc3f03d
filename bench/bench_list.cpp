// The camera list at scale: replies handed over from receiver threads and rows added on the UI
// thread, for sites with thousands of cameras and floods of repeats.
#include <cstdio>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include "cameras/CameraList.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialog.h"
#include "res/ResourceIds.h"
#include "res/Templates.h"

namespace {

CameraInfo Camera(int i) {
    CameraInfo info = ZeroCameraInfo();
    char ip[16];
    std::snprintf(ip, sizeof ip, "10.%d.%d.%d", (i >> 16) & 255, (i >> 8) & 255, i & 255);
    SetFieldText(info.szIp, ip);
    SetFieldText(info.szMask, "255.255.255.0");
    SetFieldText(info.szName, "Camera");
    return info;
}

// cameras distinct cameras, each answering repeats times from 4 receiver threads.
void BM_HandOverAndAdd(benchmark::State& state) {
    const int cameras = static_cast<int>(state.range(0));
    const int repeats = static_cast<int>(state.range(1));
    ui::Dialog window(res::MainTemplate(), nullptr);
    window.Create();
    ui::ListView listView = window.List(res::kIdcCameraList);
    for (int c = 0; c < 4; ++c)
        listView.InsertColumn(c, "c", 100);
    CameraList list(listView, {[&](std::function<void()> fn) { window.PostToUiThread(std::move(fn)); },
                               [] { return std::string("Submask not match"); },
                               [](const CameraInfo&) { return 1; }});
    for (auto _ : state) {
        std::vector<std::thread> receivers;
        for (int t = 0; t < 4; ++t)
            receivers.emplace_back([&, t] {
                for (int r = 0; r < repeats; ++r)
                    for (int i = t; i < cameras; i += 4)
                        list.Submit(Camera(i), t, 1);
            });
        for (auto& r : receivers)
            r.join();
        state.counters["max_waiting"] = static_cast<double>(list.WaitingCount());
        while (list.RowCount() < cameras)
            QCoreApplication::processEvents();
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * cameras * repeats);
}
BENCHMARK(BM_HandOverAndAdd)->Args({100, 2})->Args({2000, 2})->Args({2000, 20})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    static char platform[] = "QT_QPA_PLATFORM=offscreen";
    ::putenv(platform);
    ui::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
