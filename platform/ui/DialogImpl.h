#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include <QIcon>
#include <QPoint>
#include <QPointer>

#include "platform/ui/ControlState.h"
#include "platform/ui/Dialog.h"

class QEventLoop;
class QObject;

namespace ui {

class DialogUnits;
class DialogWindow;

// The widget side of a dialog: the window, its controls, the handler table and the routing of
// input to the dialog's handlers. Everything here runs on the UI thread except Post.
struct Dialog::Impl {
    explicit Impl(Dialog& owner);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Window life. Build makes the window and its controls from the template (replacing an earlier
    // window); EndWindow hides it and drops work posted to it. The widgets of an ended window stay
    // until the next Build or the dialog's end, so the program can still read its controls.
    void Build();
    void EndWindow();
    void ShowModal();
    void SetInitialFocus();
    // Any thread: runs fn later on the UI thread, unless the window has ended or gone by then.
    void Post(std::function<void()> fn);

    ControlState* Find(int id);
    ControlState& StateOf(int id); // the control, or a stand-in that acts on no widget
    ControlState* ControlOf(const QWidget* widget);
    void SetText(ControlState& state, const std::string& text);
    std::string Text(const ControlState& state) const;
    void Enable(ControlState& state, bool enable);

    // Input, routed as the original dialog manager routes it.
    void Command(int id, bool fromMenu);
    void Notify(const std::map<int, std::function<void()>>& table, int id);
    void Enter();
    void ShowSystemMenu(QPoint globalPos);
    void ResetSystemMenu();

    Dialog& owner;
    std::deque<ControlState> controls; // template order
    ControlState none;
    std::map<int, std::function<void()>> clicked, selChange, dblClk, rClick, commands;
    PopupMenu systemMenu;
    QIcon icon;
    QPointer<DialogWindow> window;
    QEventLoop* loop = nullptr; // the modal loop while DoModal runs
    bool created = false;       // from Build until the dialog ends
    bool ended = false;
    bool dying = false;
    int result = 0;

  private:
    void CreateControl(ControlState& state, const DialogUnits& units);
    void FitLabel(ControlState& state);
    void SetTabOrder();
    bool IsCurrentPoster(const QObject* poster);

    std::mutex m_postLock;
    QObject* m_poster = nullptr; // guarded by m_postLock; the target of posted work
};

} // namespace ui
