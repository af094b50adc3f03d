#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace camsim {

// One simulated camera: what it reports and what set requests change. Texts are bytes as they go on
// the wire (the name is UTF-8); addresses are dotted-decimal text.
struct SimCamera {
    bool dh = true;   // answers on the DH port
    bool moi = false; // answers on the MO_I port

    std::string ip;
    std::string mask;
    std::string gateway;
    std::string extra; // the further address DH cameras report
    std::string dns;
    std::uint16_t port = 0; // HTTP port
    std::string p2p;
    std::string name;
    std::string sysVersion;
    std::string appVersion;
    std::string user;
    std::string password;
    std::uint8_t dhcp = 0;
    std::array<std::uint8_t, 6> reserved1{};
    std::uint8_t reserved2 = 0;
    std::array<std::uint8_t, 22> reserved3{};

    int delayMs = 0; // this camera's own extra delay before each answer
};

} // namespace camsim
