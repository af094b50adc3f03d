// camsim: plays IP cameras for the lab. See --help.
#include "tools/camsim/SimOptions.h"
#include "tools/camsim/Simulator.h"
#include "tools/lab/NamespaceGuard.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kExitRuntime = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRefused = 3;

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnStopSignal(int /*signal*/) { g_stop.store(true); }

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    camsim::SimOptions options;
    try {
        options = camsim::SimOptions::Parse(args);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "camsim: %s\n", e.what());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(camsim::SimOptions::Usage().c_str(), stdout);
        return 0;
    }

    // camsim sends broadcasts: never on the machine's own network.
    const std::string refusal = lab::NamespaceGuard::Refusal(lab::NamespaceGuard::Probe());
    if (!refusal.empty()) {
        std::fprintf(stderr, "camsim: refusing to run: %s\n", refusal.c_str());
        return kExitRefused;
    }

    InstallStopHandlers();
    try {
        camsim::Simulator simulator(std::move(options));
        return simulator.Run(g_stop);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "camsim: %s\n", e.what());
        return kExitRuntime;
    }
}
