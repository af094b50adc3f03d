#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct MenuItem {
    int command = 0;  // 0: separator
    std::string text; // window code page
    bool enabled = true;
};

// A popup menu built as data: items by position.
class PopupMenu {
  public:
    PopupMenu() = default;
    explicit PopupMenu(std::vector<MenuItem> items) : m_items(std::move(items)) {}
    void ModifyItem(std::size_t pos, int command, const std::string& text);
    void DeleteItem(std::size_t pos);
    void AppendItem(int command, const std::string& text);
    void AppendSeparator();
    const std::vector<MenuItem>& Items() const { return m_items; }

  private:
    std::vector<MenuItem> m_items;
};

// Tests install a hook that stands in for the user: it sees the items and the screen position and
// returns the chosen command (0 for none) instead of the menu being shown.
using PopupMenuHook = std::function<int(const std::vector<MenuItem>& items, int x, int y)>;
PopupMenuHook SetPopupMenuHook(PopupMenuHook hook);

// The mouse cursor's position on the screen.
void GetCursorPos(int& x, int& y);

} // namespace ui
