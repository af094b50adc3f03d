#include "platform/host/Shell.h"

#include <array>
#include <cerrno>
#include <spawn.h>
#include <string_view>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace host {
namespace {

constexpr char kOpener[] = "xdg-open";
constexpr std::string_view kFlushArpCommand = "arp -d";
// iproute2 lives in sbin, which an ordinary user's PATH often lacks: look there first.
constexpr std::array<const char*, 4> kIpPaths = {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"};

// posix_spawn's file actions, released on every path.
class FileActions {
  public:
    FileActions() { m_ok = posix_spawn_file_actions_init(&m_actions) == 0; }
    ~FileActions() {
        if (m_ok)
            posix_spawn_file_actions_destroy(&m_actions);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    // Standard output and error go to /dev/null.
    bool Silence() {
        return m_ok &&
               posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
               posix_spawn_file_actions_adddup2(&m_actions, STDOUT_FILENO, STDERR_FILENO) == 0;
    }
    const posix_spawn_file_actions_t* Get() const { return &m_actions; }

  private:
    posix_spawn_file_actions_t m_actions{};
    bool m_ok = false;
};

int WaitForExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Flushes the IPv4 neighbour table of this network namespace with iproute2, started without a
// shell. Without CAP_NET_ADMIN ip fails; its message goes to /dev/null, nothing is reported.
int FlushNeighbours() {
    FileActions actions;
    if (!actions.Silence())
        return -1;
    for (const char* ip : kIpPaths) {
        if (::access(ip, X_OK) != 0)
            continue;
        const char* argv[] = {ip, "-4", "neigh", "flush", "all", nullptr};
        pid_t pid = 0;
        // posix_spawn takes char* const[] for historical reasons; it does not write the strings.
        if (posix_spawn(&pid, ip, actions.Get(), nullptr, const_cast<char* const*>(argv), environ) != 0)
            return -1;
        return WaitForExit(pid);
    }
    return -1;
}

} // namespace

bool ShellOpen(const std::string& url) {
    // The URL carries camera-supplied text: it reaches the opener as one argument, never a shell.
    const char* argv[] = {kOpener, url.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, kOpener, nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        return false;
    // Nobody waits for the opener, but it must not stay a zombie: a detached thread reaps it.
    try {
        std::thread([pid] { WaitForExit(pid); }).detach();
    } catch (const std::system_error&) {
        // Without a thread the opener is reaped when the program ends.
    }
    return true;
}

int RunCommand(const std::string& commandLine) {
    if (commandLine == kFlushArpCommand)
        return FlushNeighbours();
    return -1;
}

} // namespace host
