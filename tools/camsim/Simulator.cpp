#include "tools/camsim/Simulator.h"

#include "tools/camsim/DhCodec.h"
#include "tools/camsim/MoiCodec.h"
#include "tools/camsim/NetworkChange.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <net/if.h>
#include <poll.h>
#include <unistd.h>

namespace camsim {
namespace {

// The loop wakes at least this often to notice a stop request.
constexpr auto kLongestWait = std::chrono::milliseconds(100);
// Datagrams read per socket before due answers get their turn.
constexpr int kReadBatch = 256;
constexpr std::size_t kCamerasListed = 16;

std::string Ip(in_addr addr) {
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &addr, text.data(), text.size());
    return text.data();
}

std::string InterfaceName(int ifindex) {
    std::array<char, IF_NAMESIZE> name{};
    if (ifindex <= 0 || if_indextoname(static_cast<unsigned>(ifindex), name.data()) == nullptr)
        return "-";
    return name.data();
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    static constexpr std::array<char, 16> kDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0FU];
    }
    return text;
}

std::string Command(std::optional<std::uint16_t> command) {
    if (!command)
        return "-";
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "0x%04x", unsigned{*command});
    return text.data();
}

std::string CameraTag(std::size_t index) { return "cam" + std::to_string(index + 1); }

} // namespace

Simulator::Simulator(SimOptions options)
    : m_options(std::move(options)), m_cameras(m_options.cameras), m_log(m_options.logFile),
      m_dh(DhCodec::kPort), m_moi(MoiCodec::kPort), m_random(m_options.seed.value_or(std::random_device{}())) {
    if (!m_options.moveHost.empty())
        m_mover.emplace(m_options.moveHost);
}

int Simulator::Run(const std::atomic<bool>& stop) {
    const auto end = Clock::now() + std::chrono::seconds(m_options.maxSeconds);
    std::printf("camsim: %zu camera(s) on UDP %u (DH) and %u (MO_I), answering by %s\n", m_cameras.size(),
                unsigned{DhCodec::kPort}, unsigned{MoiCodec::kPort},
                m_options.reply == ReplyMode::Broadcast ? "broadcast" : "unicast");
    for (std::size_t i = 0; i < m_cameras.size() && i < kCamerasListed; ++i) {
        const SimCamera& c = m_cameras[i];
        std::printf("  %s %s %s/%s gw %s port %u p2p %s name %s\n", CameraTag(i).c_str(),
                    c.dh && c.moi ? "both" : (c.dh ? "dh" : "moi"), c.ip.c_str(), c.mask.c_str(),
                    c.gateway.c_str(), unsigned{c.port}, c.p2p.c_str(), c.name.c_str());
    }
    if (m_cameras.size() > kCamerasListed)
        std::printf("  ... and %zu more\n", m_cameras.size() - kCamerasListed);
    std::fflush(stdout);
    WriteReadyFile();

    std::array<pollfd, 2> fds{pollfd{m_dh.Fd(), POLLIN, 0}, pollfd{m_moi.Fd(), POLLIN, 0}};
    while (!stop.load()) {
        const auto now = Clock::now();
        if (now >= end)
            break;
        SendDue(now);
        auto wake = std::min(end, now + kLongestWait);
        if (!m_answers.empty())
            wake = std::min(wake, m_answers.top().due);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now());
        const int r = poll(fds.data(), fds.size(), static_cast<int>(std::max<std::int64_t>(0, wait.count())));
        if (r < 0 && errno != EINTR) {
            std::fprintf(stderr, "camsim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (r > 0) {
            if ((fds[0].revents & POLLIN) != 0)
                Drain(m_dh, true);
            if ((fds[1].revents & POLLIN) != 0)
                Drain(m_moi, false);
        }
    }
    PrintSummary();
    return 0;
}

void Simulator::Drain(const SimSocket& socket, bool dh) {
    for (int i = 0; i < kReadBatch; ++i) {
        const std::optional<Received> r = socket.Receive();
        if (!r)
            return;
        ++m_counts.received;
        const std::string act = dh ? HandleDh(*r) : HandleMoi(*r);
        const auto command = dh ? DhCodec::Command(r->bytes) : MoiCodec::Command(r->bytes);
        m_log.Write(DatagramLog::Now() + " from=" + Ip(r->from.sin_addr) + ":" + std::to_string(ntohs(r->from.sin_port)) +
                    " to=" + Ip(r->to) + ":" + std::to_string(socket.Port()) + " if=" + InterfaceName(r->ifindex) +
                    " len=" + std::to_string(r->bytes.size()) + " proto=" + (dh ? "DH" : "MO_I") +
                    " cmd=" + Command(command) + " act=" + act + " hex=" + Hex(r->bytes));
    }
}

// Every camera that speaks the protocol answers a search; the log tells how many.
std::string Simulator::AnswerSearch(AnswerKind kind, bool SimCamera::*speaks, const Received& r) {
    std::size_t answering = 0;
    for (std::size_t i = 0; i < m_cameras.size(); ++i) {
        if (m_cameras[i].*speaks) {
            Schedule(kind, i, r);
            ++answering;
        }
    }
    return "search:" + std::to_string(answering);
}

std::string Simulator::HandleDh(const Received& r) {
    const DhCodec::Request request = DhCodec::Classify(r.bytes);
    switch (request.kind) {
    case DhCodec::Kind::Search: {
        ++m_counts.dhSearch;
        return AnswerSearch(AnswerKind::DhSearch, &SimCamera::dh, r);
    }
    case DhCodec::Kind::Set: {
        ++m_counts.dhSet;
        const NetworkChange change = DhCodec::SetChange(r.bytes);
        const auto target = change.Target(m_cameras);
        if (!target)
            return "set-unmatched";
        const std::string problem = change.Problem();
        if (!problem.empty()) {
            Schedule(AnswerKind::DhSet, *target, r, DhCodec::kSetRefused);
            return "set-refused:" + CameraTag(*target) + ":" + problem;
        }
        std::string act = ApplyChange(*target, change);
        Schedule(AnswerKind::DhSet, *target, r, DhCodec::kSetAccepted);
        return act;
    }
    case DhCodec::Kind::Other:
        break;
    }
    ++m_counts.ignored;
    return "ignored:" + request.problem;
}

std::string Simulator::HandleMoi(const Received& r) {
    const MoiCodec::Request request = MoiCodec::Classify(r.bytes);
    switch (request.kind) {
    case MoiCodec::Kind::Search: {
        ++m_counts.moiSearch;
        return AnswerSearch(AnswerKind::MoiSearch, &SimCamera::moi, r);
    }
    case MoiCodec::Kind::SetNetwork: {
        ++m_counts.moiSet;
        const NetworkChange change = MoiCodec::SetChange(r.bytes);
        const auto target = change.Target(m_cameras);
        if (!target)
            return "set-unmatched";
        const std::string problem = change.Problem();
        if (!problem.empty())
            return "set-refused:" + CameraTag(*target) + ":" + problem;
        return ApplyChange(*target, change); // MO_I sends no answer to a set-network request
    }
    case MoiCodec::Kind::Other:
        break;
    }
    ++m_counts.ignored;
    return "ignored:" + request.problem;
}

std::string Simulator::ApplyChange(std::size_t camera, const NetworkChange& change) {
    SimCamera& c = m_cameras[camera];
    const std::string oldIp = c.ip;
    const std::string oldMask = c.mask;
    change.ApplyTo(c);
    std::string act = "set:" + CameraTag(camera);
    if (m_mover && (c.ip != oldIp || c.mask != oldMask)) {
        const std::string error = m_mover->Move(oldIp, c.ip, c.mask);
        if (error.empty()) {
            act += ",moved";
            std::printf("camsim: %s moved %s from %s to %s/%s\n", CameraTag(camera).c_str(),
                        m_mover->Interface().c_str(), oldIp.c_str(), c.ip.c_str(), c.mask.c_str());
        } else {
            act += ",move-failed";
            std::printf("camsim: %s could not move %s: %s\n", CameraTag(camera).c_str(),
                        m_mover->Interface().c_str(), error.c_str());
        }
        std::fflush(stdout);
    }
    return act;
}

Simulator::Clock::duration Simulator::AnswerDelay(std::size_t camera, bool search) {
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    Clock::duration delay = milliseconds(m_options.delayMs) + milliseconds(m_cameras[camera].delayMs);
    if (search && m_options.spreadMs > 0) {
        constexpr std::int64_t kMicrosPerMilli = 1000;
        const auto n = static_cast<std::int64_t>(m_cameras.size());
        delay += microseconds(m_options.spreadMs * kMicrosPerMilli * static_cast<std::int64_t>(camera) / n);
    }
    if (m_options.jitterMs > 0) {
        std::uniform_int_distribution<int> jitter(0, m_options.jitterMs * 1000);
        delay += microseconds(jitter(m_random));
    }
    return delay;
}

void Simulator::Schedule(AnswerKind kind, std::size_t camera, const Received& r, std::uint32_t status) {
    Answer a;
    a.due = Clock::now() + AnswerDelay(camera, kind != AnswerKind::DhSet);
    a.order = m_nextOrder++;
    a.kind = kind;
    a.camera = camera;
    a.to = r.from;
    if (m_options.reply == ReplyMode::Broadcast)
        a.to.sin_addr.s_addr = htonl(INADDR_BROADCAST); // to the searcher's port all the same
    a.ifindex = r.ifindex;
    a.status = status;
    m_answers.push(a);
}

void Simulator::SendDue(Clock::time_point now) {
    while (!m_answers.empty() && m_answers.top().due <= now) {
        const Answer a = m_answers.top();
        m_answers.pop();
        const SimCamera& camera = m_cameras[a.camera];
        // Built when sent, so an answer shows the camera as it is by then.
        std::vector<std::uint8_t> bytes;
        const SimSocket* socket = &m_dh;
        switch (a.kind) {
        case AnswerKind::DhSearch:
            bytes = DhCodec::SearchReply(camera);
            break;
        case AnswerKind::DhSet:
            bytes = DhCodec::SetReply(camera, a.status);
            break;
        case AnswerKind::MoiSearch:
            bytes = MoiCodec::SearchReply(camera);
            socket = &m_moi;
            break;
        }
        const int error = socket->Send(a.to, a.ifindex, camera.ip, bytes);
        if (error == 0) {
            ++m_counts.sent;
        } else if (m_counts.sendFailures++ == 0) {
            std::fprintf(stderr, "camsim: %s could not answer %s:%u: %s\n", CameraTag(a.camera).c_str(),
                         Ip(a.to.sin_addr).c_str(), unsigned{ntohs(a.to.sin_port)}, std::strerror(error));
        }
    }
}

void Simulator::WriteReadyFile() const {
    if (m_options.readyFile.empty())
        return;
    // Written beside and renamed, so whoever waits for it never reads half of it.
    const std::string temp = m_options.readyFile + ".tmp";
    {
        std::ofstream out(temp);
        out << "pid=" << getpid() << " dh=" << DhCodec::kPort << " moi=" << MoiCodec::kPort
            << " cameras=" << m_cameras.size() << "\n";
    }
    if (std::rename(temp.c_str(), m_options.readyFile.c_str()) != 0)
        std::fprintf(stderr, "camsim: cannot write %s: %s\n", m_options.readyFile.c_str(), std::strerror(errno));
}

void Simulator::PrintSummary() const {
    const Counts& c = m_counts;
    std::printf("camsim: received %llu datagram(s): DH search %llu, DH set %llu, MO_I search %llu, "
                "MO_I set %llu, ignored %llu; sent %llu answer(s), %llu failed\n",
                static_cast<unsigned long long>(c.received), static_cast<unsigned long long>(c.dhSearch),
                static_cast<unsigned long long>(c.dhSet), static_cast<unsigned long long>(c.moiSearch),
                static_cast<unsigned long long>(c.moiSet), static_cast<unsigned long long>(c.ignored),
                static_cast<unsigned long long>(c.sent), static_cast<unsigned long long>(c.sendFailures));
    std::fflush(stdout);
}

} // namespace camsim
