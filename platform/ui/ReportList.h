#pragma once

#include <cstdint>
#include <functional>

#include <QTreeWidget>

namespace ui {

// The widget behind a list-view control: rows of texts under column headers. It reports a left
// double-click and a right-click anywhere in its item area, on a row or not, as the original list
// does; the handlers read the selection themselves.
class ReportList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit ReportList(QWidget* parent);

    // Shows the list-view style bits (ListView::kReport, kSingleSel, kShowSelAlways, ...).
    void ApplyStyle(std::uint32_t style);

    std::function<void()> onDoubleClick;
    std::function<void()> onRightClick;

  protected:
    bool viewportEvent(QEvent* event) override;
};

} // namespace ui
