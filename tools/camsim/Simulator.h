#pragma once

#include "tools/camsim/DatagramLog.h"
#include "tools/camsim/HostMover.h"
#include "tools/camsim/NetworkChange.h"
#include "tools/camsim/SimOptions.h"
#include "tools/camsim/SimSocket.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace camsim {

// The cameras at work: one thread, one poll loop over the DH and MO_I sockets, and a queue of
// answers that fall due after their delays.
class Simulator {
public:
    // Opens the log and both ports. Throws std::runtime_error when it cannot.
    explicit Simulator(SimOptions options);

    // Answers until stop is set or the run time is over; writes the ready file first. Returns the
    // exit status.
    int Run(const std::atomic<bool>& stop);

private:
    using Clock = std::chrono::steady_clock;
    enum class AnswerKind { DhSearch, DhSet, MoiSearch };
    struct Answer {
        Clock::time_point due;
        std::uint64_t order = 0; // equal due times keep the order they were made in
        AnswerKind kind = AnswerKind::DhSearch;
        std::size_t camera = 0;
        sockaddr_in to{};
        int ifindex = 0;
        std::uint32_t status = 0;
        bool operator>(const Answer& other) const {
            return due != other.due ? due > other.due : order > other.order;
        }
    };
    struct Counts {
        std::uint64_t received = 0;
        std::uint64_t dhSearch = 0;
        std::uint64_t dhSet = 0;
        std::uint64_t moiSearch = 0;
        std::uint64_t moiSet = 0;
        std::uint64_t ignored = 0;
        std::uint64_t sent = 0;
        std::uint64_t sendFailures = 0;
    };

    void Drain(const SimSocket& socket, bool dh);
    std::string HandleDh(const Received& r);
    std::string HandleMoi(const Received& r);
    std::string AnswerSearch(AnswerKind kind, bool SimCamera::*speaks, const Received& r);
    std::string ApplyChange(std::size_t camera, const NetworkChange& change);
    void Schedule(AnswerKind kind, std::size_t camera, const Received& r, std::uint32_t status = 0);
    Clock::duration AnswerDelay(std::size_t camera, bool search);
    void SendDue(Clock::time_point now);
    void WriteReadyFile() const;
    void PrintSummary() const;

    SimOptions m_options;
    std::vector<SimCamera>& m_cameras;
    DatagramLog m_log;
    std::optional<HostMover> m_mover;
    SimSocket m_dh;
    SimSocket m_moi;
    std::priority_queue<Answer, std::vector<Answer>, std::greater<>> m_answers;
    std::uint64_t m_nextOrder = 0;
    std::mt19937 m_random;
    Counts m_counts;
};

} // namespace camsim
