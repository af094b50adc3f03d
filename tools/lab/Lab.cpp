#include "tools/lab/Lab.h"

#include "tools/lab/Process.h"

#include <array>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TAVLIN_CAMSIM_PATH
#define TAVLIN_CAMSIM_PATH "camsim"
#endif
#ifndef TAVLIN_BUILD_DIR
#define TAVLIN_BUILD_DIR "."
#endif

namespace lab {
namespace {

// Named namespaces live here while they exist (ip netns add/del).
constexpr const char* kNetnsDir = "/run/netns";
constexpr const char* kPcIfPrefix = "tvl";
constexpr const char* kHostIfPrefix = "tvl-eth";
constexpr const char* kSegmentPortPrefix = "tvl-p";
constexpr const char* kBridge = "tvl-br0";
constexpr auto kCamsimReadyTimeout = std::chrono::seconds(10);
// camsim ends by itself after this long unless the caller bounds it otherwise.
constexpr const char* kCamsimDefaultMaxSeconds = "120";
constexpr auto kFilePollInterval = std::chrono::milliseconds(10);

// Each Lab of this process gets its own number, so two Labs never share a namespace name.
std::atomic<int> g_labCount{0};

bool IsValidName(const std::string& name) {
    if (name.empty() || name.size() > 64)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

std::string NamespacePath(const std::string& fullName) { return std::string(kNetnsDir) + "/" + fullName; }

std::string MakeScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavlin-lab-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("Lab: cannot make a scratch folder: " + std::string(std::strerror(errno)));
    // Like /tmp: programs the tests run as an unprivileged user write their logs here too.
    constexpr mode_t kSharedScratch = 01777;
    chmod(pattern.c_str(), kSharedScratch);
    return pattern;
}

void WriteSysctl(const char* path, const char* value) {
    std::ofstream out(path);
    out << value;
    out.flush();
    if (!out)
        throw std::runtime_error(std::string("Lab: cannot write ") + path);
}

std::string Join(const std::vector<std::string>& parts) {
    std::string text;
    for (const auto& p : parts)
        text += (text.empty() ? "" : " ") + p;
    return text;
}

} // namespace

Lab::Lab() : Lab(&NamespaceGuard::Probe) {}

Lab::Lab(const std::function<NamespaceFacts()>& probe) {
    NamespaceGuard::Require(probe);
    m_owner = std::this_thread::get_id();
    m_prefix = "tavlin-" + std::to_string(getpid()) + "-" + std::to_string(g_labCount++) + "-";
    m_originalNs = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (m_originalNs < 0)
        throw std::runtime_error("Lab: cannot open this thread's network namespace: " +
                                 std::string(std::strerror(errno)));
    try {
        m_dir = MakeScratchDir();
        m_pc = NewNamespace("pc");
        const int fd = open(NamespacePath(m_pc).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
            const std::string why = std::strerror(errno);
            if (fd >= 0)
                close(fd);
            throw std::runtime_error("Lab: cannot enter the pc namespace: " + why);
        }
        close(fd);
    } catch (...) {
        Cleanup();
        throw;
    }
}

Lab::~Lab() { Cleanup(); }

void Lab::Cleanup() noexcept {
    for (const int pid : m_spawned)
        Process::Stop(pid);
    m_spawned.clear();

    if (m_originalNs >= 0) {
        // Only the thread that entered the pc can be taken back; another thread never left its own.
        if (std::this_thread::get_id() == m_owner)
            setns(m_originalNs, CLONE_NEWNET);
        close(m_originalNs);
        m_originalNs = -1;
    }

    // Hosts before segments before the pc: the reverse of the order made.
    for (auto it = m_nodes.rbegin(); it != m_nodes.rend(); ++it) {
        int status = -1;
        try {
            status = Process::Run({"ip", "netns", "delete", it->fullName});
        } catch (...) {
        }
        if (status != 0) {
            // What ip netns delete does, for when ip itself cannot run.
            const std::string path = NamespacePath(it->fullName);
            umount2(path.c_str(), MNT_DETACH);
            unlink(path.c_str());
        }
    }
    m_nodes.clear();

    if (!m_dir.empty() && std::getenv("TAVLIN_LAB_KEEP") == nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

void Lab::Ip(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"ip"};
    argv.insert(argv.end(), args.begin(), args.end());
    const int status = Process::Run(argv);
    if (status != 0)
        throw std::runtime_error("Lab: `" + Join(argv) + "` failed with status " + std::to_string(status));
}

std::string Lab::NewNamespace(const std::string& name) {
    if (!IsValidName(name))
        throw std::invalid_argument("Lab: not a valid host name: '" + name + "'");
    std::string full = m_prefix + name;
    for (const Node& n : m_nodes)
        if (n.fullName == full)
            throw std::invalid_argument("Lab: host exists already: " + name);
    Ip({"netns", "add", full});
    m_nodes.push_back(Node{name, full, 0, false});
    Ip({"-n", full, "link", "set", "lo", "up"});
    AcceptForeignSources(full);
    return full;
}

void Lab::AcceptForeignSources(const std::string& fullName) {
    // A camera outside the PC's subnet is reached, and answers, across one segment; reverse-path
    // filtering would drop those datagrams where there is no route back to their source. New
    // interfaces take the "default" value; "all" caps every interface.
    RunInNamespace(fullName, [] {
        WriteSysctl("/proc/sys/net/ipv4/conf/all/rp_filter", "0");
        WriteSysctl("/proc/sys/net/ipv4/conf/default/rp_filter", "0");
    });
}

std::string Lab::Resolve(const std::string& host) const {
    if (host.empty())
        return m_pc;
    for (const Node& n : m_nodes)
        if (n.fullName == host)
            return n.fullName;
    for (const Node& n : m_nodes)
        if (n.shortName == host)
            return n.fullName;
    throw std::invalid_argument("Lab: no such host: " + host);
}

Lab::Node& Lab::FindNode(const std::string& host) {
    const std::string full = Resolve(host);
    for (Node& n : m_nodes)
        if (n.fullName == full)
            return n;
    throw std::invalid_argument("Lab: no such host: " + host);
}

std::string Lab::NextInterface(Node& node) {
    if (node.fullName == m_pc)
        return kPcIfPrefix + std::to_string(m_nextPcIf++);
    return kHostIfPrefix + std::to_string(node.nextIf++);
}

void Lab::Configure(const std::string& fullName, const std::string& ifname, const std::string& cidr) {
    if (!cidr.empty())
        Ip({"-n", fullName, "address", "add", cidr, "broadcast", "+", "dev", ifname});
    Ip({"-n", fullName, "link", "set", ifname, "up"});
}

std::string Lab::AddHost(const std::string& name) {
    if (name == "pc")
        throw std::invalid_argument("Lab: 'pc' is the test's own namespace");
    return NewNamespace(name);
}

std::string Lab::Link(const std::string& host, const std::string& pcCidr, const std::string& hostCidr) {
    Node& h = FindNode(host);
    if (h.fullName == m_pc || h.segment)
        throw std::invalid_argument("Lab::Link: not a host: " + host + " (segments take Attach)");
    Node& pc = m_nodes.front();
    std::string pcIf = NextInterface(pc);
    const std::string hostIf = NextInterface(h);
    Ip({"-n", m_pc, "link", "add", "name", pcIf, "type", "veth", "peer", "name", hostIf, "netns", h.fullName});
    m_links.push_back(LinkEnds{pcIf, h.fullName, hostIf});
    Configure(m_pc, pcIf, pcCidr);
    Configure(h.fullName, hostIf, hostCidr);
    return pcIf;
}

std::string Lab::AddSegment(const std::string& name) {
    if (name == "pc")
        throw std::invalid_argument("Lab: 'pc' is the test's own namespace");
    std::string full = NewNamespace(name);
    m_nodes.back().segment = true;
    Ip({"-n", full, "link", "add", "name", kBridge, "type", "bridge"});
    Ip({"-n", full, "link", "set", kBridge, "up"});
    return full;
}

std::string Lab::Attach(const std::string& segment, const std::string& host, const std::string& cidr) {
    Node& seg = FindNode(segment);
    if (!seg.segment)
        throw std::invalid_argument("Lab::Attach: not a segment: " + segment);
    Node& h = FindNode(host);
    if (h.segment)
        throw std::invalid_argument("Lab::Attach: a segment cannot be attached: " + host);
    std::string hostIf = NextInterface(h);
    const std::string port = kSegmentPortPrefix + std::to_string(m_nextPort++);
    Ip({"-n", seg.fullName, "link", "add", "name", port, "type", "veth", "peer", "name", hostIf, "netns",
        h.fullName});
    Ip({"-n", seg.fullName, "link", "set", port, "master", kBridge});
    Ip({"-n", seg.fullName, "link", "set", port, "up"});
    Configure(h.fullName, hostIf, cidr);
    return hostIf;
}

void Lab::AddAddress(const std::string& host, const std::string& ifname, const std::string& cidr) {
    Ip({"-n", Resolve(host), "address", "add", cidr, "broadcast", "+", "dev", ifname});
}

std::string Lab::PeerOf(const std::string& pcIfName) const {
    for (const LinkEnds& l : m_links)
        if (l.pcIf == pcIfName)
            return l.hostIf;
    throw std::invalid_argument("Lab::PeerOf: no link with pc end " + pcIfName);
}

std::vector<std::string> Lab::Addresses(const std::string& host, const std::string& ifname) {
    return InHost(host, [&ifname] {
        std::vector<std::string> found;
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) != 0)
            throw std::runtime_error("Lab::Addresses: getifaddrs failed");
        for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
            if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET || ifname != a->ifa_name)
                continue;
            sockaddr_in addr{};
            sockaddr_in mask{};
            std::memcpy(&addr, a->ifa_addr, sizeof addr);
            if (a->ifa_netmask != nullptr)
                std::memcpy(&mask, a->ifa_netmask, sizeof mask);
            std::array<char, INET_ADDRSTRLEN> text{};
            inet_ntop(AF_INET, &addr.sin_addr, text.data(), text.size());
            const int prefix = std::popcount(mask.sin_addr.s_addr);
            found.push_back(std::string(text.data()) + "/" + std::to_string(prefix));
        }
        freeifaddrs(list);
        return found;
    });
}

void Lab::RunInNamespace(const std::string& host, const std::function<void()>& body) {
    const std::string path = NamespacePath(Resolve(host));
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("Lab: cannot open " + path + ": " + std::strerror(errno));
    int setnsError = 0;
    std::thread worker([&] {
        if (setns(fd, CLONE_NEWNET) != 0) {
            setnsError = errno;
            return;
        }
        body();
    });
    worker.join();
    close(fd);
    if (setnsError != 0)
        throw std::runtime_error("Lab: cannot enter " + path + ": " + std::strerror(setnsError));
}

int Lab::Run(const std::string& host, const std::vector<std::string>& argv) {
    return InHost(host, [&argv] { return Process::Run(argv); });
}

int Lab::Spawn(const std::string& host, const std::vector<std::string>& argv, const std::string& logFile) {
    const int pid = InHost(host, [&] { return Process::Spawn(argv, logFile); });
    m_spawned.push_back(pid);
    return pid;
}

std::optional<int> Lab::WaitExit(int pid, std::chrono::milliseconds timeout) {
    auto status = Process::Wait(pid, timeout);
    if (status)
        std::erase(m_spawned, pid);
    return status;
}

int Lab::Stop(int pid) {
    std::erase(m_spawned, pid);
    return Process::Stop(pid);
}

Lab::Camsim Lab::StartCamsim(const std::string& host, const std::vector<std::string>& args) {
    const std::string stem = m_dir + "/camsim-" + std::to_string(m_nextCamsim++);
    Camsim sim;
    sim.log = stem + ".log";
    sim.output = stem + ".out";
    const std::string ready = stem + ".ready";
    std::vector<std::string> argv{CamsimPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.insert(argv.end(), {"--log", sim.log, "--ready-file", ready});
    bool bounded = false;
    for (const std::string& a : args)
        bounded = bounded || a == "--max-seconds";
    if (!bounded)
        argv.insert(argv.end(), {"--max-seconds", kCamsimDefaultMaxSeconds});
    sim.pid = Spawn(host, argv, sim.output);
    if (!WaitForFile(ready, kCamsimReadyTimeout)) {
        Stop(sim.pid);
        std::ifstream out(sim.output);
        std::stringstream text;
        text << out.rdbuf();
        throw std::runtime_error("Lab: camsim did not start: " + Join(argv) + "\n" + text.str());
    }
    return sim;
}

std::string Lab::CamsimPath() { return TAVLIN_CAMSIM_PATH; }

std::string Lab::BuildDir() { return TAVLIN_BUILD_DIR; }

bool Lab::WaitForFile(const std::string& path, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (access(path.c_str(), F_OK) == 0)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kFilePollInterval);
    }
}

std::vector<std::string> Lab::ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return lines; // a last line without its newline is still being written
}

std::vector<std::string> Lab::WaitForLines(const std::string& path, const std::string& needle, std::size_t count,
                                           std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::vector<std::string> matching;
        for (std::string& line : ReadLines(path))
            if (line.find(needle) != std::string::npos)
                matching.push_back(std::move(line));
        if (matching.size() >= count || std::chrono::steady_clock::now() >= deadline)
            return matching;
        std::this_thread::sleep_for(kFilePollInterval);
    }
}

std::optional<std::string> Lab::WaitForLine(const std::string& path, const std::string& needle,
                                            std::chrono::milliseconds timeout) {
    auto lines = WaitForLines(path, needle, 1, timeout);
    if (lines.empty())
        return std::nullopt;
    return lines.front();
}

} // namespace lab
