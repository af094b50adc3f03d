#include "cameras/CameraList.h"

#include <cstring>

#include "cameras/CameraRules.h"

namespace {
constexpr int kColumnName = 1;
constexpr int kColumnAddress = 2;
constexpr int kColumnP2pId = 3;
} // namespace

CameraList::CameraList(ui::ListView list, Hooks hooks) : m_list(list), m_hooks(std::move(hooks)) {}

CameraList::~CameraList() {
    std::lock_guard<std::mutex> guard(m_lock);
    ClearLocked();
}

void CameraList::Submit(const CameraInfo& info, int slot, int dhProtocol) {
    std::string ip(FieldText(info.szIp));
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_listedIps.count(ip) != 0 || m_waitingIps.count(ip) != 0)
            return;
        wake = m_waiting.empty();
        m_waiting.push_back({info, slot, dhProtocol});
        m_waitingIps.insert(std::move(ip));
    }
    // One wake-up per batch: the UI thread takes everything that is waiting when it runs.
    if (wake)
        m_hooks.postToUiThread([this] { DrainWaiting(); });
}

void CameraList::DrainWaiting() {
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<Waiting> batch;
    batch.swap(m_waiting);
    m_waitingIps.clear();
    for (const Waiting& w : batch)
        AddCameraLocked(w.info, w.slot, w.dhProtocol);
}

void CameraList::AddCameraLocked(const CameraInfo& info, int slot, int dhProtocol) {
    std::string ip(FieldText(info.szIp));
    if (m_listedIps.count(ip) != 0)
        return;
    const int match = m_hooks.subnetMatch(info);
    const int row = m_list.GetItemCount();
    if (m_list.InsertItem(row, ModelLabel(info, dhProtocol)) < 0)
        return;
    m_list.SetItemText(row, kColumnName, NameColumnText(info));
    m_list.SetItemText(row, kColumnAddress, match ? AddressColumnText(info) : m_hooks.mismatchText());
    m_list.SetItemText(row, kColumnP2pId, std::string(FieldText(info.szP2pId)));

    auto* item = new CameraItem;
    std::memset(item, 0, sizeof *item);
    item->info = info;
    item->nSlot = slot;
    item->bSubnetMatch = match;
    item->bDhProtocol = dhProtocol;
    m_list.SetItemData(row, item);
    m_listedIps.insert(std::move(ip));
}

void CameraList::Clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    ClearLocked();
}

void CameraList::ClearLocked() {
    // The one place where a row's CameraItem is freed.
    const int rows = m_list.GetItemCount();
    for (int i = 0; i < rows; ++i)
        delete static_cast<CameraItem*>(m_list.GetItemData(i));
    m_list.DeleteAllItems();
    m_listedIps.clear();
    m_waiting.clear();
    m_waitingIps.clear();
}

CameraItem* CameraList::Item(int row) const {
    if (row < 0 || row >= m_list.GetItemCount())
        return nullptr;
    return static_cast<CameraItem*>(m_list.GetItemData(row));
}

int CameraList::FirstSelectedRow() const { return m_list.GetNextSelectedItem(-1); }

int CameraList::RowCount() const { return m_list.GetItemCount(); }

std::size_t CameraList::WaitingCount() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_waiting.size();
}
