// A small program that lab tests run as an unprivileged user (setpriv --reuid=65534) inside the pc:
//   search  Init a DH searcher, send a burst, wait for a unicast and a broadcast reply on slot 0.
//   arp     Run the ARP flush; print its status.
// Exit status 0 when the step worked as expected.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "platform/host/Shell.h"
#include "search/DhSearcher.h"

namespace {

struct Replies {
    std::mutex mutex;
    std::condition_variable cv;
    std::set<std::string> names;
    int wrongSlot = 0;
};

int OnReply(std::uint32_t, std::int32_t, const std::uint8_t* payload, void* context, std::int32_t slot) {
    auto* replies = static_cast<Replies*>(context);
    const char* name = reinterpret_cast<const char*>(payload + 120); // szName
    {
        const std::lock_guard lock(replies->mutex);
        if (slot == 0)
            replies->names.insert(std::string(name, strnlen(name, 80)));
        else
            ++replies->wrongSlot;
    }
    replies->cv.notify_all();
    return 0;
}

int Search() {
    Replies replies;
    CDhSearcher dh;
    dh.m_callback = &OnReply;
    dh.m_context = &replies;
    if (!dh.Init()) {
        std::printf("Init failed; addresses: %zu\n", dh.m_addresses.size());
        return 1;
    }
    dh.SendSearch();
    std::unique_lock lock(replies.mutex);
    replies.cv.wait_for(lock, std::chrono::seconds(5), [&] { return replies.names.size() >= 2; });
    const bool ok = replies.names == std::set<std::string>{"unicast", "broadcast"} && replies.wrongSlot == 0;
    std::printf("replies on slot 0: %zu, elsewhere: %d\n", replies.names.size(), replies.wrongSlot);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "search")
        return Search();
    if (mode == "arp") {
        std::printf("status=%d\n", host::RunCommand("arp -d"));
        return 0;
    }
    std::fprintf(stderr, "usage: %s search|arp\n", argv[0]);
    return 2;
}
