#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "cameras/CameraItem.h"
#include "platform/ui/Controls.h"

// The camera list of the main window: one row per camera address text, in arrival order, each row
// owning its CameraItem.
//
// Replies are decoded on the searchers' receiver threads, which never touch the list control:
// Submit copies the record into a waiting queue and wakes the UI thread, which adds the rows. The
// queue holds at most one record per address text (the first reply wins), so a flood of repeats
// while the UI thread sleeps in a search burst costs no memory. Lock rule: the list lock guards the
// queue, the set of listed addresses and the rows; no thread that holds it ever waits for the UI
// thread.
class CameraList {
public:
    struct Hooks {
        std::function<void(std::function<void()>)> postToUiThread; // runs a function later on the UI thread
        std::function<std::string()> mismatchText;                  // column 2 of an out-of-subnet camera
        std::function<int(const CameraInfo&)> subnetMatch;          // reads the interface table
    };

    CameraList(ui::ListView list, Hooks hooks);
    ~CameraList();
    CameraList(const CameraList&) = delete;
    CameraList& operator=(const CameraList&) = delete;

    // Any thread: hands a reply over to the UI thread, unless its address is listed or waiting.
    void Submit(const CameraInfo& info, int slot, int dhProtocol);

    // UI thread: frees every row's item, deletes all rows and forgets waiting replies.
    void Clear();

    // UI thread: the row's item, or nullptr. Rows and items change only on the UI thread.
    CameraItem* Item(int row) const;
    int FirstSelectedRow() const;
    int RowCount() const;
    std::size_t WaitingCount() const;

    std::mutex& Lock() { return m_lock; }

private:
    void DrainWaiting();
    // UI thread, list lock held: adds a row for info unless its szIp is listed already.
    void AddCameraLocked(const CameraInfo& info, int slot, int dhProtocol);
    void ClearLocked();

    struct Waiting {
        CameraInfo info;
        int slot;
        int dhProtocol;
    };

    ui::ListView m_list;
    Hooks m_hooks;
    mutable std::mutex m_lock;
    std::vector<Waiting> m_waiting;
    std::unordered_set<std::string> m_waitingIps;
    std::unordered_set<std::string> m_listedIps;
};
