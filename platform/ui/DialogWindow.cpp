#include "platform/ui/DialogWindow.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>

namespace ui {

DialogWindow::DialogWindow(QWidget* parent, Qt::WindowFlags flags, Handlers handlers)
    : QWidget(parent, flags), m_handlers(std::move(handlers)) {}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    // Keys arrive here when the focused control did not take them.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (m_handlers.enter)
            m_handlers.enter();
        return;
    case Qt::Key_Escape:
        event->accept();
        if (m_handlers.escape)
            m_handlers.escape();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The dialog decides whether and when it ends; the window only hides when it does.
    event->ignore();
    if (m_handlers.closeBox)
        m_handlers.closeBox();
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Mouse || childAt(event->pos()) != nullptr) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_handlers.backgroundMenu)
        m_handlers.backgroundMenu(event->globalPos());
}

} // namespace ui
