#pragma once

#include "tools/lab/NamespaceGuard.h"

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace lab {

// A private network for one test: the test's own namespace (the "pc") and host namespaces joined by
// veth pairs or by shared segments (a bridge in a namespace of its own). Every namespace is named
// "tavlin-<pid>-<lab>-<name>" under /run/netns and deleted with the Lab, also when a test fails.
//
// Interface names: the pc ends are tvl0, tvl1, ... in the order made; the host ends are tvl-eth0,
// tvl-eth1, ... per host, in the order made. Hosts and the pc accept datagrams from sources outside
// their subnets (rp_filter off), as the PCs and cameras the tool meets do.
//
// Namespaces are per thread: the Lab moves the thread that constructs it, and every thread that thread
// starts afterwards, into the pc. Use one Lab from one thread.
class Lab {
public:
    // Refuses (std::runtime_error) in the machine's own network namespace (NamespaceGuard), then
    // moves the calling thread into a fresh pc namespace with loopback up.
    Lab();
    // The same with the namespace check's facts supplied by the caller.
    explicit Lab(const std::function<NamespaceFacts()>& probe);
    // Stops every process it spawned, returns the thread to the namespace it came from, deletes
    // every namespace it made and its scratch folder (kept when TAVLIN_LAB_KEEP is set).
    ~Lab();
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;

    // A host namespace with loopback up. name: letters, digits, '-' and '_'. Returns the full name,
    // which every call below takes (so does the short name); "" stands for the pc.
    std::string AddHost(const std::string& name);

    // A veth pair between the pc and host, each end with its address ("10.0.0.1/24"; "" for none)
    // and up. Call again for a second link to the same host. Returns the pc end's name.
    std::string Link(const std::string& host, const std::string& pcCidr, const std::string& hostCidr);

    // A shared segment: a bridge in a namespace of its own. Returns its full name.
    std::string AddSegment(const std::string& name);
    // Plugs host ("" = pc) into segment through a veth pair; its end gets cidr ("" for none) and comes
    // up. Returns the name of host's end.
    std::string Attach(const std::string& segment, const std::string& host, const std::string& cidr);

    // Adds one more address (with its broadcast address) to an interface of host ("" = pc).
    void AddAddress(const std::string& host, const std::string& ifname, const std::string& cidr);

    // The host end of the link whose pc end is pcIfName.
    std::string PeerOf(const std::string& pcIfName) const;
    // The IPv4 addresses of an interface of host ("" = pc), as "a.b.c.d/prefix", in kernel order.
    std::vector<std::string> Addresses(const std::string& host, const std::string& ifname);

    // Runs argv in host ("" = pc) to completion; its exit status (128 + signal if a signal ended it).
    int Run(const std::string& host, const std::vector<std::string>& argv);
    // Starts argv in host ("" = pc) in the background, output into logFile if given; returns its pid.
    // The Lab stops it at the end unless Stop or WaitExit saw it end.
    int Spawn(const std::string& host, const std::vector<std::string>& argv, const std::string& logFile = "");
    // Waits up to timeout for a spawned process to end; its exit status, or nullopt while it runs.
    std::optional<int> WaitExit(int pid, std::chrono::milliseconds timeout);
    // SIGTERM (then SIGKILL) to a spawned process; its exit status.
    int Stop(int pid);

    // Runs f on a thread that has entered host's namespace ("" = pc) and returns f's result (or
    // rethrows its exception). Sockets that f opens stay in that namespace.
    template <class F> auto InHost(const std::string& host, F&& f);

    // camsim in host with args, its log and ready file in Dir(); returns once it listens.
    struct Camsim {
        int pid = 0;
        std::string log;    // one line per datagram it received
        std::string output; // its stdout and stderr
    };
    Camsim StartCamsim(const std::string& host, const std::vector<std::string>& args);

    const std::string& PcNamespace() const { return m_pc; }
    // A scratch folder of this Lab for logs and ready files.
    const std::string& Dir() const { return m_dir; }

    static std::string CamsimPath();
    static std::string BuildDir();

    // Bounded waits on files that other processes write.
    static bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout);
    // Complete lines of path that contain needle, once there are count of them or timeout passed.
    static std::vector<std::string> WaitForLines(const std::string& path, const std::string& needle,
                                                 std::size_t count, std::chrono::milliseconds timeout);
    static std::optional<std::string> WaitForLine(const std::string& path, const std::string& needle,
                                                  std::chrono::milliseconds timeout);
    // The complete (newline-ended) lines of path; none when it does not exist.
    static std::vector<std::string> ReadLines(const std::string& path);

private:
    struct LinkEnds {
        std::string pcIf;
        std::string host;
        std::string hostIf;
    };
    struct Node {
        std::string shortName;
        std::string fullName;
        int nextIf = 0;
        bool segment = false;
    };

    std::string Resolve(const std::string& host) const;
    Node& FindNode(const std::string& host);
    std::string NewNamespace(const std::string& name);
    std::string NextInterface(Node& node);
    void Configure(const std::string& fullName, const std::string& ifname, const std::string& cidr);
    void Ip(const std::vector<std::string>& args);
    void AcceptForeignSources(const std::string& fullName);
    void RunInNamespace(const std::string& host, const std::function<void()>& body);
    void Cleanup() noexcept;

    std::string m_prefix;
    std::string m_pc;
    std::string m_dir;
    int m_originalNs = -1;
    std::thread::id m_owner;
    int m_nextPcIf = 0;
    int m_nextPort = 0;
    int m_nextCamsim = 0;
    std::vector<Node> m_nodes; // the pc first, then hosts and segments in the order made
    std::vector<LinkEnds> m_links;
    std::vector<int> m_spawned;
};

template <class F> auto Lab::InHost(const std::string& host, F&& f) {
    using Result = std::invoke_result_t<F&>;
    std::packaged_task<Result()> task(std::forward<F>(f));
    auto result = task.get_future();
    RunInNamespace(host, [&task] { task(); });
    return result.get();
}

} // namespace lab
