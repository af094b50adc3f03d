#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace lab {

// Starting programs without a shell: every argv element reaches the program as it is, so no text in
// it is ever interpreted. A child inherits the network namespace of the thread that starts it.
class Process {
public:
    // Full path of a program. A name with a slash is taken as it is; other names are looked up in
    // PATH and then in the sbin folders, where ip lives. Empty when not found.
    static std::string FindProgram(const std::string& name);

    // Starts argv in the background as the leader of a new process group, stdin from /dev/null and,
    // when outputFile is not empty, stdout and stderr into it (truncated). Throws std::runtime_error
    // when the program cannot be started.
    static int Spawn(const std::vector<std::string>& argv, const std::string& outputFile = "");

    // Waits up to timeout for the child pid to end. Its exit status (128 + signal number when a
    // signal ended it), or nullopt while it still runs. Throws when pid is not a child of ours.
    static std::optional<int> Wait(int pid, std::chrono::milliseconds timeout);

    // Ends the child's process group: SIGTERM, up to grace to end, then SIGKILL. Returns its exit
    // status, or -1 when it had already been reaped. Never throws.
    static int Stop(int pid, std::chrono::milliseconds grace = std::chrono::seconds(2)) noexcept;

    // Spawn, then Wait; a program still running after timeout is stopped. Returns the exit status.
    static int Run(const std::vector<std::string>& argv,
                   std::chrono::milliseconds timeout = std::chrono::seconds(60));
};

} // namespace lab
