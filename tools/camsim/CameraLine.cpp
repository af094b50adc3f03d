#include "tools/camsim/CameraLine.h"

#include "tools/camsim/DhRecord.h"
#include "tools/camsim/DottedQuad.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace camsim {
namespace {

[[noreturn]] void Bad(const std::string& key, const std::string& why) {
    throw std::invalid_argument("camera key '" + key + "': " + why);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

struct Pair {
    std::string key;
    std::string value;
};

// Splits at unescaped commas and resolves the escapes of each value.
std::vector<Pair> Split(std::string_view line) {
    std::vector<Pair> pairs;
    std::string raw;  // text of the current pair up to '=' (the key), escapes not yet resolved
    std::string value;
    bool inValue = false;
    auto finish = [&] {
        const std::string key(Trim(raw));
        if (!inValue) {
            if (!key.empty())
                Bad(key, "missing '='");
        } else {
            if (key.empty())
                throw std::invalid_argument("camera line: a value without a key");
            pairs.push_back({key, value});
        }
        raw.clear();
        value.clear();
        inValue = false;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ',') {
            finish();
        } else if (!inValue) {
            if (c == '=')
                inValue = true;
            else
                raw += c;
        } else if (c == '\\') {
            if (i + 1 >= line.size())
                Bad(std::string(Trim(raw)), "a backslash ends the value");
            const char next = line[++i];
            if (next == ',' || next == '\\') {
                value += next;
            } else if (next == 'x' && i + 2 < line.size() && HexDigit(line[i + 1]) >= 0 &&
                       HexDigit(line[i + 2]) >= 0) {
                value += static_cast<char>(HexDigit(line[i + 1]) * 16 + HexDigit(line[i + 2]));
                i += 2;
            } else {
                Bad(std::string(Trim(raw)), "unknown escape \\" + std::string(1, next));
            }
        } else {
            value += c;
        }
    }
    finish();
    return pairs;
}

long Number(const std::string& key, const std::string& value, long min, long max) {
    long n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || value.empty() || n < min || n > max)
        Bad(key, "'" + value + "' is not a number from " + std::to_string(min) + " to " + std::to_string(max));
    return n;
}

template <std::size_t N> std::array<std::uint8_t, N> Hex(const std::string& key, const std::string& value) {
    if (value.size() % 2 != 0 || value.size() > 2 * N)
        Bad(key, "expects up to " + std::to_string(N) + " bytes as pairs of hex digits");
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < value.size() / 2; ++i) {
        const int hi = HexDigit(value[2 * i]);
        const int lo = HexDigit(value[2 * i + 1]);
        if (hi < 0 || lo < 0)
            Bad(key, "'" + value + "' is not hex");
        bytes[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return bytes;
}

void CheckQuad(const std::string& key, const std::string& value) {
    if (!DottedQuad::Parse(value))
        Bad(key, "'" + value + "' is not four numbers 0 to 255 joined by dots");
}

void CheckText(const std::string& key, const std::string& value, DhRecord::Field field) {
    if (value.size() > field.width)
        Bad(key, "longer than its " + std::to_string(field.width) + "-byte field");
    if (value.find('\0') != std::string::npos)
        Bad(key, "holds a NUL byte");
}

} // namespace

void CameraLine::Apply(std::string_view line, SimCamera& camera) {
    constexpr long kMaxPort = 65535;
    constexpr long kMaxDelayMs = 600000;
    for (const auto& [key, value] : Split(line)) {
        if (key == "proto") {
            if (value != "dh" && value != "moi" && value != "both")
                Bad(key, "expects dh, moi or both");
            camera.dh = value != "moi";
            camera.moi = value != "dh";
        } else if (key == "ip") {
            camera.ip = value;
        } else if (key == "mask") {
            camera.mask = value;
        } else if (key == "gw") {
            camera.gateway = value;
        } else if (key == "extra") {
            camera.extra = value;
        } else if (key == "dns") {
            camera.dns = value;
        } else if (key == "port") {
            camera.port = static_cast<std::uint16_t>(Number(key, value, 0, kMaxPort));
        } else if (key == "p2p") {
            camera.p2p = value;
        } else if (key == "name") {
            camera.name = value;
        } else if (key == "sys") {
            camera.sysVersion = value;
        } else if (key == "app") {
            camera.appVersion = value;
        } else if (key == "user") {
            camera.user = value;
        } else if (key == "password") {
            camera.password = value;
        } else if (key == "dhcp") {
            camera.dhcp = static_cast<std::uint8_t>(Number(key, value, 0, 1));
        } else if (key == "res1") {
            camera.reserved1 = Hex<6>(key, value);
        } else if (key == "res2") {
            camera.reserved2 = Hex<1>(key, value)[0];
        } else if (key == "res3") {
            camera.reserved3 = Hex<22>(key, value);
        } else if (key == "delay") {
            camera.delayMs = static_cast<int>(Number(key, value, 0, kMaxDelayMs));
        } else {
            Bad(key, "unknown key");
        }
    }
}

SimCamera CameraLine::Defaults(unsigned index) {
    SimCamera camera;
    camera.mask = "255.255.255.0";
    camera.extra = "0.0.0.0";
    camera.port = 80;
    std::array<char, 32> p2p{};
    std::snprintf(p2p.data(), p2p.size(), "SIM%06u", index);
    camera.p2p = p2p.data();
    camera.name = "Camera " + std::to_string(index);
    camera.sysVersion = "67.1.61.0";
    camera.appVersion = "2.1.0.3";
    camera.user = "admin";
    return camera;
}

void CameraLine::Complete(SimCamera& camera) {
    if (!camera.dh && !camera.moi)
        throw std::invalid_argument("camera speaks no protocol");
    if (camera.ip.empty())
        Bad("ip", "every camera needs an address");
    CheckQuad("ip", camera.ip);
    const DottedQuad::Bytes ip = *DottedQuad::Parse(camera.ip);
    if (camera.gateway.empty())
        camera.gateway = DottedQuad::Format({ip[0], ip[1], ip[2], 1});
    if (camera.dns.empty())
        camera.dns = camera.gateway;
    CheckQuad("mask", camera.mask);
    CheckQuad("gw", camera.gateway);
    CheckQuad("extra", camera.extra);
    CheckQuad("dns", camera.dns);
    CheckText("p2p", camera.p2p, DhRecord::kP2p);
    CheckText("name", camera.name, DhRecord::kName);
    CheckText("sys", camera.sysVersion, DhRecord::kSysVersion);
    CheckText("app", camera.appVersion, DhRecord::kAppVersion);
    CheckText("user", camera.user, DhRecord::kUser);
    CheckText("password", camera.password, DhRecord::kPassword);
    if (camera.moi) {
        // MO_I carries a version as four bytes.
        CheckQuad("sys", camera.sysVersion);
        CheckQuad("app", camera.appVersion);
    }
}

std::vector<std::string> CameraLine::ReadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::invalid_argument("cannot read camera file " + path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#')
            continue;
        lines.emplace_back(trimmed);
    }
    return lines;
}

} // namespace camsim
