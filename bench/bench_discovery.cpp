// Discovery at scale, in the lab: the program's main window (offscreen) in a private pc namespace
// against one camsim host playing N cameras that answer within a spread of S ms. Prints how many were
// listed and how long the list took to fill; asserts nothing. Bounded: at most 10 s per run.
//
//   bench_discovery [N S] ...   (default: 50 0  200 500  1000 1000  1000 4000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "app/TavlinDlg.h"
#include "platform/ui/Application.h"
#include "res/Images.h"
#include "res/ResourceIds.h"
#include "tools/lab/Lab.h"

namespace {

using Clock = std::chrono::steady_clock;

void RunOnce(int cameras, int spreadMs) {
    lab::Lab lab;
    lab.AddHost("cams");
    lab.Link("cams", "10.1.0.1/16", "10.1.0.2/16");
    lab.StartCamsim("cams", {"--count", std::to_string(cameras), "--base-ip", "10.1.1.1", "--defaults",
                             "mask=255.255.0.0", "--spread", std::to_string(spreadMs), "--max-seconds", "30"});
    char dir[] = "/tmp/tavlin-bench-XXXXXX";
    if (::mkdtemp(dir) == nullptr)
        return;
    const auto start = Clock::now();
    CTavlinDlg window(dir);
    window.Create(); // searches at once, as the program does at start
    const auto searched = Clock::now();
    auto last = searched;
    int rows = 0;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const int now = window.List(res::kIdcCameraList).GetItemCount();
        if (now != rows) {
            rows = now;
            last = Clock::now();
        }
        if (rows == cameras || Clock::now() - last > std::chrono::milliseconds(spreadMs + 1500))
            break;
    }
    const auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    std::printf("cameras %5d  spread %5d ms  listed %5d (%5.1f%%)  bursts %4lld ms  last row after %5lld ms\n",
                cameras, spreadMs, rows, 100.0 * rows / cameras, static_cast<long long>(ms(searched - start)),
                static_cast<long long>(ms(last - start)));
    std::fflush(stdout);
    std::string rm = std::string("rm -rf ") + dir;
    std::system(rm.c_str());
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ui::Application app(argc, argv);
    res::RegisterImages();
    std::vector<std::pair<int, int>> runs;
    for (int i = 1; i + 1 < argc; i += 2)
        runs.emplace_back(std::atoi(argv[i]), std::atoi(argv[i + 1]));
    if (runs.empty())
        runs = {{50, 0}, {200, 500}, {1000, 1000}, {1000, 4000}};
    for (auto [n, s] : runs)
        RunOnce(n, s);
    return 0;
}
