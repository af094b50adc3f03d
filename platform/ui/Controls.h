#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace ui {

class Dialog;
struct ControlState;

// Report-view list. Rows carry one opaque pointer each (item data); the list never frees it.
// Texts in the window code page.
class ListView {
  public:
    // View style bits, as the program's main window sets them.
    static constexpr std::uint32_t kViewMask = 0x0003;
    static constexpr std::uint32_t kReport = 0x0001;
    static constexpr std::uint32_t kList = 0x0003; // a new list starts in list view, aligned left
    static constexpr std::uint32_t kAlignLeft = 0x0800;
    static constexpr std::uint32_t kShowSelAlways = 0x0008;
    static constexpr std::uint32_t kNoLabelWrap = 0x0080;
    static constexpr std::uint32_t kEditLabels = 0x0200;
    static constexpr std::uint32_t kSingleSel = 0x0004;
    // Extended style bit.
    static constexpr std::uint32_t kFullRowSelect = 0x0020;

    std::uint32_t GetStyle() const;
    void SetStyle(std::uint32_t style);
    std::uint32_t GetExtendedStyle() const;
    void SetExtendedStyle(std::uint32_t mask, std::uint32_t value);

    // Columns. Width in pixels.
    int InsertColumn(int pos, const std::string& text, int width);
    void SetColumnText(int pos, const std::string& text);
    std::string GetColumnText(int pos) const;
    int GetColumnWidth(int pos) const;
    int GetColumnCount() const;

    // Rows.
    int GetItemCount() const;
    int InsertItem(int pos, const std::string& text); // new row's position, or -1
    bool SetItemText(int row, int col, const std::string& text);
    std::string GetItemText(int row, int col) const;
    bool SetItemData(int row, void* data);
    void* GetItemData(int row) const;
    void DeleteAllItems();

    // Selection: the next selected row after start (-1 searches from the top), or -1.
    int GetNextSelectedItem(int start) const;
    void SetItemSelected(int row, bool selected);

  private:
    friend class Dialog;
    explicit ListView(ControlState* state) : m_state(state) {}
    ControlState* m_state;
};

class ComboBox {
  public:
    int AddString(const std::string& text);
    int GetCount() const;
    std::string GetLBText(int index) const;
    int GetCurSel() const;     // -1 when nothing is selected
    void SetCurSel(int index); // -1 clears the selection

  private:
    friend class Dialog;
    explicit ComboBox(ControlState* state) : m_state(state) {}
    ControlState* m_state;
};

// Four fields of 0..255. A blank field reads as 0.
class IpAddressCtrl {
  public:
    // addr in network byte order: its first byte goes into the first field.
    void SetAddress(std::uint32_t addrNetworkOrder);
    std::array<int, 4> GetFields() const;
    // Keeps the leading digits (at most three) and clamps them to 255, as typing does; "" blanks.
    void SetFieldText(int field, const std::string& text); // for tests and keyboard entry
    bool IsFieldBlank(int field) const;
    void ClearAddress(); // all four fields blank

  private:
    friend class Dialog;
    explicit IpAddressCtrl(ControlState* state) : m_state(state) {}
    ControlState* m_state;
};

} // namespace ui
