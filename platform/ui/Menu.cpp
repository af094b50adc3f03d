#include "platform/ui/Menu.h"

#include <algorithm>

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QVariant>

#include "platform/ui/MenuChoice.h"
#include "platform/ui/QtText.h"

namespace ui {
namespace {

PopupMenuHook& Hook() {
    static PopupMenuHook hook;
    return hook;
}

} // namespace

void PopupMenu::ModifyItem(std::size_t pos, int command, const std::string& text) {
    if (pos < m_items.size())
        m_items[pos] = MenuItem{command, text, true};
}

void PopupMenu::DeleteItem(std::size_t pos) {
    if (pos < m_items.size())
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(pos));
}

void PopupMenu::AppendItem(int command, const std::string& text) {
    m_items.push_back(MenuItem{command, text, true});
}

void PopupMenu::AppendSeparator() {
    m_items.push_back(MenuItem{0, {}, true});
}

PopupMenuHook SetPopupMenuHook(PopupMenuHook hook) {
    PopupMenuHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

void GetCursorPos(int& x, int& y) {
    const QPoint pos = QCursor::pos();
    x = pos.x();
    y = pos.y();
}

int ChoosePopupCommand(QWidget* owner, const std::vector<MenuItem>& items, int x, int y) {
    if (Hook()) {
        const PopupMenuHook hook = Hook(); // the hook may replace itself while it runs
        const int command = hook(items, x, y);
        const bool offered = std::any_of(items.begin(), items.end(), [command](const MenuItem& item) {
            return item.command != 0 && item.command == command && item.enabled;
        });
        return offered ? command : 0;
    }
    QMenu menu(owner);
    for (const MenuItem& item : items) {
        if (item.command == 0) {
            menu.addSeparator();
            continue;
        }
        // A tab in the text separates the accelerator column, on both platforms.
        QAction* action = menu.addAction(ToQt(item.text));
        action->setEnabled(item.enabled);
        action->setData(item.command);
    }
    const QAction* chosen = menu.exec(QPoint(x, y));
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

} // namespace ui
