#include "platform/ui/ReportList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>

#include "platform/ui/Controls.h"

namespace ui {

ReportList::ReportList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHeaderLabels({QString()});
}

void ReportList::ApplyStyle(std::uint32_t style) {
    // Column headers belong to the report view; the other views show the rows alone.
    setHeaderHidden((style & ListView::kViewMask) != ListView::kReport);
    setSelectionMode((style & ListView::kSingleSel) != 0 ? QAbstractItemView::SingleSelection
                                                         : QAbstractItemView::ExtendedSelection);
    // Without show-selection-always the selection is not drawn while the list lacks the focus.
    QPalette colours = palette();
    const QPalette inherited = QApplication::palette(this);
    const bool always = (style & ListView::kShowSelAlways) != 0;
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     always ? inherited.color(QPalette::Inactive, QPalette::Highlight)
                            : inherited.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     always ? inherited.color(QPalette::Inactive, QPalette::HighlightedText)
                            : inherited.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);
}

bool ReportList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse) {
        // The press that opened the context menu has already moved the selection.
        event->accept();
        if (onRightClick)
            onRightClick();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        // A press below or beside the rows clears the selection, as on the original list; Qt keeps it.
        const auto* press = static_cast<QMouseEvent*>(event);
        if (itemAt(press->position().toPoint()) == nullptr &&
            (press->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) == 0)
            clearSelection();
    }
    const bool handled = QTreeWidget::viewportEvent(event);
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && onDoubleClick)
        onDoubleClick();
    return handled;
}

} // namespace ui
