#include "tools/lab/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lab {
namespace {

// Where iproute2 and friends live; PATH of a non-root shell often lacks them.
constexpr const char* kSbinDirs = "/usr/local/sbin:/usr/sbin:/sbin";

bool IsExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

int DecodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

enum class ReapResult { Ended, Running, NotChild };

ReapResult TryReap(int pid, int& exitStatus) {
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            exitStatus = DecodeStatus(status);
            return ReapResult::Ended;
        }
        if (r == 0)
            return ReapResult::Running;
        if (errno != EINTR)
            return ReapResult::NotChild;
    }
}

// Polls the child until it ends or the deadline passes; short sleeps first, as most waits are brief.
std::optional<int> WaitUntil(int pid, std::chrono::steady_clock::time_point deadline, bool& notChild) {
    auto pause = std::chrono::milliseconds(1);
    constexpr auto kLongestPause = std::chrono::milliseconds(20);
    notChild = false;
    for (;;) {
        int exitStatus = 0;
        switch (TryReap(pid, exitStatus)) {
        case ReapResult::Ended:
            return exitStatus;
        case ReapResult::NotChild:
            notChild = true;
            return std::nullopt;
        case ReapResult::Running:
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, kLongestPause);
    }
}

// posix_spawn's attribute and file-action objects, released on every path.
class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawnattr_init(&attr);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawnattr_t attr{};
    posix_spawn_file_actions_t actions{};
};

} // namespace

std::string Process::FindProgram(const std::string& name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return IsExecutable(name) ? name : std::string();
    const char* envPath = std::getenv("PATH");
    std::string dirs = envPath != nullptr ? envPath : "";
    dirs += std::string(":") + kSbinDirs;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty()) {
            std::string candidate = dir;
            candidate += '/';
            candidate += name;
            if (IsExecutable(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

int Process::Spawn(const std::vector<std::string>& argv, const std::string& outputFile) {
    if (argv.empty())
        throw std::runtime_error("Process::Spawn: empty argv");
    const std::string path = FindProgram(argv[0]);
    if (path.empty())
        throw std::runtime_error("Process::Spawn: program not found: " + argv[0]);

    SpawnSetup setup;
    // Own process group, so Stop reaches whatever the program starts; default signal handling and an
    // empty signal mask, whatever the parent has set for itself.
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setpgroup(&setup.attr, 0);
    posix_spawnattr_setsigmask(&setup.attr, &none);
    posix_spawnattr_setsigdefault(&setup.attr, &all);
    posix_spawnattr_setflags(&setup.attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!outputFile.empty()) {
        constexpr mode_t kLogMode = 0644;
        posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, kLogMode);
        posix_spawn_file_actions_adddup2(&setup.actions, STDOUT_FILENO, STDERR_FILENO);
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attr, args.data(), environ);
    if (rc != 0)
        throw std::runtime_error("Process::Spawn: cannot start " + path + ": " + std::strerror(rc));
    return pid;
}

std::optional<int> Process::Wait(int pid, std::chrono::milliseconds timeout) {
    bool notChild = false;
    auto status = WaitUntil(pid, std::chrono::steady_clock::now() + timeout, notChild);
    if (notChild)
        throw std::runtime_error("Process::Wait: " + std::to_string(pid) + " is not a child of this process");
    return status;
}

int Process::Stop(int pid, std::chrono::milliseconds grace) noexcept {
    if (pid <= 0)
        return -1;
    bool notChild = false;
    // The child leads its own group (Spawn); signal the group so its own children end too.
    kill(-pid, SIGTERM);
    auto status = WaitUntil(pid, std::chrono::steady_clock::now() + grace, notChild);
    if (notChild)
        return -1;
    if (!status) {
        kill(-pid, SIGKILL);
        constexpr auto kAfterKill = std::chrono::seconds(5);
        status = WaitUntil(pid, std::chrono::steady_clock::now() + kAfterKill, notChild);
    }
    return status.value_or(-1);
}

int Process::Run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    const int pid = Spawn(argv);
    if (auto status = Wait(pid, timeout))
        return *status;
    return Stop(pid);
}

} // namespace lab
