#pragma once

#include "tools/camsim/SimCamera.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace camsim {

enum class ReplyMode {
    Broadcast, // to 255.255.255.255 and the searcher's port, as a camera outside its subnet must
    Unicast,   // to the searcher's address and port
};

// camsim's command line.
struct SimOptions {
    std::vector<SimCamera> cameras;
    ReplyMode reply = ReplyMode::Broadcast;
    int delayMs = 0;  // before every answer
    int jitterMs = 0; // a random 0..jitter ms more per answer
    int spreadMs = 0; // camera i of n answers a search i * spread / n ms later
    std::optional<std::uint32_t> seed;
    std::string moveHost; // interface whose address follows the camera's address
    std::string logFile;
    std::string readyFile;
    int maxSeconds = 300;
    bool help = false;

    // Throws std::invalid_argument with a message for the user.
    static SimOptions Parse(const std::vector<std::string>& args);
    static std::string Usage();
};

} // namespace camsim
