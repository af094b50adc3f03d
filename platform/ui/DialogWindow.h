#pragma once

#include <functional>

#include <QWidget>

namespace ui {

// The top-level widget of a dialog. It paints the dialog's face and turns the window-level input
// into the dialog's commands: Enter, Escape, the caption's close box and a right-click on the
// background. Qt's own handling of these (closing, accepting) never runs.
class DialogWindow : public QWidget {
    Q_OBJECT
  public:
    struct Handlers {
        std::function<void()> enter;
        std::function<void()> escape;
        std::function<void()> closeBox;
        std::function<void(QPoint globalPos)> backgroundMenu;
    };

    DialogWindow(QWidget* parent, Qt::WindowFlags flags, Handlers handlers);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    Handlers m_handlers;
};

} // namespace ui
