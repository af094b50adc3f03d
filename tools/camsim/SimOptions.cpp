#include "tools/camsim/SimOptions.h"

#include "tools/camsim/CameraLine.h"
#include "tools/camsim/DottedQuad.h"

#include <charconv>
#include <stdexcept>

namespace camsim {
namespace {

constexpr int kMaxMs = 600000;
constexpr int kMaxSeconds = 86400;
constexpr long kMaxCount = 100000;

long Number(const std::string& option, const std::string& value, long min, long max) {
    long n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() || n < min || n > max)
        throw std::invalid_argument(option + " expects a number from " + std::to_string(min) + " to " +
                                    std::to_string(max) + ", not '" + value + "'");
    return n;
}

// The n-th address from base upwards, skipping host numbers 0 and 255, which no camera takes.
DottedQuad::Bytes NthAddress(const DottedQuad::Bytes& base, long n) {
    std::uint32_t v = (std::uint32_t{base[0]} << 24) | (std::uint32_t{base[1]} << 16) |
                      (std::uint32_t{base[2]} << 8) | std::uint32_t{base[3]};
    auto usable = [](std::uint32_t a) { return (a & 0xFFU) != 0 && (a & 0xFFU) != 0xFFU; };
    while (!usable(v))
        ++v;
    for (long i = 0; i < n; ++i) {
        ++v;
        while (!usable(v))
            ++v;
    }
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

} // namespace

SimOptions SimOptions::Parse(const std::vector<std::string>& args) {
    SimOptions o;
    std::vector<std::string> lines; // every camera line, in the order given
    std::string defaults;
    long count = 0;
    std::string baseIp = "10.1.0.10";

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--camera") {
            lines.push_back(value());
        } else if (a == "--file") {
            for (std::string& line : CameraLine::ReadFile(value()))
                lines.push_back(std::move(line));
        } else if (a == "--defaults") {
            defaults = value();
        } else if (a == "--count") {
            count = Number(a, value(), 0, kMaxCount);
        } else if (a == "--base-ip") {
            baseIp = value();
        } else if (a == "--reply") {
            const std::string& mode = value();
            if (mode == "broadcast")
                o.reply = ReplyMode::Broadcast;
            else if (mode == "unicast")
                o.reply = ReplyMode::Unicast;
            else
                throw std::invalid_argument("--reply expects broadcast or unicast, not '" + mode + "'");
        } else if (a == "--delay") {
            o.delayMs = static_cast<int>(Number(a, value(), 0, kMaxMs));
        } else if (a == "--jitter") {
            o.jitterMs = static_cast<int>(Number(a, value(), 0, kMaxMs));
        } else if (a == "--spread") {
            o.spreadMs = static_cast<int>(Number(a, value(), 0, kMaxMs));
        } else if (a == "--seed") {
            o.seed = static_cast<std::uint32_t>(Number(a, value(), 0, 0xFFFFFFFFL));
        } else if (a == "--move-host") {
            o.moveHost = value();
        } else if (a == "--log") {
            o.logFile = value();
        } else if (a == "--ready-file") {
            o.readyFile = value();
        } else if (a == "--max-seconds") {
            o.maxSeconds = static_cast<int>(Number(a, value(), 1, kMaxSeconds));
        } else {
            throw std::invalid_argument("unknown option '" + a + "' (see --help)");
        }
    }
    if (o.help)
        return o;

    unsigned index = 1;
    auto make = [&](const std::string& line, const std::string& ip) {
        SimCamera camera = CameraLine::Defaults(index);
        try {
            CameraLine::Apply(defaults, camera);
            CameraLine::Apply(line, camera);
            if (!ip.empty())
                camera.ip = ip;
            CameraLine::Complete(camera);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument("camera " + std::to_string(index) + ": " + e.what());
        }
        o.cameras.push_back(std::move(camera));
        ++index;
    };
    for (const std::string& line : lines)
        make(line, "");
    if (count > 0) {
        const auto base = DottedQuad::Parse(baseIp);
        if (!base)
            throw std::invalid_argument("--base-ip expects an IPv4 address, not '" + baseIp + "'");
        for (long n = 0; n < count; ++n)
            make("", DottedQuad::Format(NthAddress(*base, n)));
    }
    if (o.cameras.empty())
        throw std::invalid_argument("no camera: give --camera, --file or --count (see --help)");
    return o;
}

std::string SimOptions::Usage() {
    return R"(camsim: plays IP cameras that answer the DH (UDP 8600) and MO_I (UDP 10000) protocols.

Runs only inside a private network namespace (the lab); it refuses the machine's own.

Usage: camsim [options]

Cameras (at least one):
  --camera SPEC        one camera; repeat for more
  --file PATH          one camera SPEC per line; blank lines and lines starting with # are skipped
  --count N            N generated cameras: addresses from --base-ip upwards (host numbers 0 and
                       255 skipped), P2P identifiers SIM000001..., names "Camera 1"...
  --base-ip IP         first address of the generated cameras (default 10.1.0.10)
  --defaults SPEC      keys every camera starts from, before its own SPEC

  SPEC is key=value pairs joined by commas, for example
    proto=dh,ip=10.0.0.5,mask=255.255.255.0,gw=10.0.0.1,dns=10.0.0.2,port=80,p2p=ABC123,name=Front door,sys=67.1.61.0,app=2.1.0.3
  keys: proto (dh | moi | both; default dh), ip (required), mask (255.255.255.0), gw (a.b.c.1),
        extra (DH further address; 0.0.0.0), dns (the gateway), port (80), p2p (SIM<number>),
        name (Camera <number>; UTF-8), sys (67.1.61.0), app (2.1.0.3), user (admin), password (empty),
        dhcp (0 | 1), res1 / res2 / res3 (reserved bytes of the DH record in hex: up to 6 / 1 / 22 bytes),
        delay (this camera's own extra delay in ms)
  In a value: \, is a comma, \\ a backslash, \xNN the byte NN. A text may fill its whole record
  field (then it has no terminator); a longer one is refused.

Answers:
  --reply MODE         broadcast: to 255.255.255.255 and the searcher's port (default);
                       unicast: to the searcher's address and port
  --delay MS           delay before every answer (default 0)
  --jitter MS          a random 0..MS more per answer (default 0)
  --spread MS          camera i of n answers a search i*MS/n ms later (default 0)
  --seed N             seed of the jitter (default: random)

Set requests:
  A DH set request (44 48 02 01 + 320-byte record) goes to the DH camera whose P2P identifier equals
  the record's, else to the DH camera whose address equals the record's address. It takes address,
  mask, gateway, DNS server, HTTP port, user, password and the DHCP flag, and is answered with
  44 48 02 08 + the camera's record + status 00 80 00 00 (refused: 00 00 00 00, when the address is
  not four numbers or 0.0.0.0, or the mask is not a netmask). An MO_I set-network request (command 2)
  goes to the MO_I camera whose first 13 P2P bytes match, takes the same fields but DHCP, and is not
  answered.
  --move-host IFNAME   when a set request changes a camera's address or mask, delete the camera's
                       old address from IFNAME (if there) and add the new one with its mask

Run:
  --log FILE           one line per received datagram, flushed at once:
                       <UTC time> from=<ip>:<port> to=<ip>:<port> if=<ifname> len=<n> proto=<DH|MO_I>
                       cmd=<0xNNNN|-> act=<what camsim did> hex=<every byte, lower-case hex>
  --ready-file FILE    written once both ports listen
  --max-seconds S      end after S seconds (default 300); SIGINT and SIGTERM end it too
  --help               this text

Exit status: 0 done, 1 runtime failure, 2 bad command line, 3 refused (not a private namespace).
)";
}

} // namespace camsim
