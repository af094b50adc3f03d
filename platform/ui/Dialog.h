#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/Image.h"
#include "platform/ui/Menu.h"

namespace ui {

class Dialog;

// Results of a modal run, and the command IDs of OK and Cancel (Enter and Escape).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Moves values between a dialog's controls and its members. saving: controls to members.
class DataExchange {
  public:
    DataExchange(Dialog& dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}
    bool Saving() const { return m_saving; }
    void Text(int id, std::string& value); // window text of any control
    void Check(int id, int& value);        // check box: 0 or 1
    void ComboIndex(int id, int& value);   // selected index of a combo box, -1 for none

  private:
    Dialog& m_dialog;
    bool m_saving;
};

// System-menu commands that the layer itself carries out by default.
inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScClose = 0xF060;

// A dialog built from a template. The window exists from Create (or DoModal) until the dialog ends.
// After the end its controls keep their last contents (the program may still read them and free
// what its rows point to) until the dialog object goes or the window is created again.
// Every member runs on the UI thread, except PostToUiThread.
class Dialog {
  public:
    Dialog(const DialogTemplate& tpl, Dialog* parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window (if not yet), runs OnInitDialog, shows it and runs a nested loop until
    // EndDialog. Returns EndDialog's result.
    int DoModal();
    // Creates the window and runs OnInitDialog without entering a loop (tests, modeless use). The
    // window shows if the template has the visible style.
    bool Create();
    bool IsCreated() const;
    void EndDialog(int result);
    // A close request delivered later through the event loop: runs OnClose.
    void PostClose();
    // Runs fn later on the UI thread. Safe from any thread while the Dialog object exists. Dropped
    // if the window has not been created, or has ended by the time fn would run.
    void PostToUiThread(std::function<void()> fn);

    bool UpdateData(bool saveAndValidate = true);

    // Texts are in the window code page.
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void EnableItem(int id, bool enable);
    bool IsItemEnabled(int id) const;
    bool IsItemVisible(int id) const; // the control's own visible style, whether the window shows or not
    void ShowItem(int id, bool show);
    // Edit: at most maxChars bytes of window-code-page text from the keyboard (0: no limit).
    void LimitText(int id, int maxChars);
    int GetCheck(int id) const;
    void SetCheck(int id, int state);
    bool HasItem(int id) const;

    ListView List(int id);
    ComboBox Combo(int id);
    IpAddressCtrl IpAddress(int id);

    // Window menu (Alt+Space inside the window, or a right-click on its background): minimize (with
    // a minimize box) and close, then what the program appends. Chosen commands go to OnSysCommand.
    // It is built afresh with every window, so OnInitDialog appends to a new one each time.
    bool HasSystemMenu() const;
    void AppendSystemMenuSeparator();
    void AppendSystemMenuItem(unsigned command, const std::string& text);
    const PopupMenu& SystemMenu() const;
    void SendSysCommand(unsigned command) { OnSysCommand(command); }

    void SetIcon(int imageResourceId, bool big);

    // Shows menu at (x, y) on the screen; the chosen command goes to the OnCommand handler (or the
    // OnClicked handler of the same ID) before this returns.
    void TrackPopupMenu(const PopupMenu& menu, int x, int y);

    const DialogTemplate& Template() const { return m_template; }
    Dialog* Parent() const { return m_parent; }

    struct Impl; // the widget side; reachable by tests through platform/ui/QtAccess.h

  protected:
    // Keys as on the original platform: Enter clicks the focused push button, else the default push
    // button (if the template has one and it is enabled), else runs command kIdOk; Escape runs
    // command kIdCancel. Commands kIdOk and kIdCancel go to a handler registered for that ID, else
    // to OnOK and OnCancel. The caption's close box runs OnClose.
    virtual bool OnInitDialog(); // default: UpdateData(false), true
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnOK();                         // default: UpdateData(true), EndDialog(kIdOk)
    virtual void OnCancel();                     // default: EndDialog(kIdCancel)
    virtual void OnClose();                      // default: EndDialog(kIdCancel)
    virtual void OnSysCommand(unsigned command); // default: minimize, close; others ignored

    // Handler table. Registered in the constructor of the derived dialog.
    void OnClicked(int id, std::function<void()> handler);   // button / check box click
    void OnSelChange(int id, std::function<void()> handler); // combo box selection change
    void OnDblClk(int id, std::function<void()> handler);    // list double-click
    void OnRClick(int id, std::function<void()> handler);    // list right-click
    void OnCommand(int id, std::function<void()> handler);   // menu command

  private:
    friend Impl* ImplOf(Dialog&);
    DialogTemplate m_template;
    Dialog* m_parent;
    std::unique_ptr<Impl> m_impl;
};

// Tests script modal dialogs with this hook: it runs once each time a modal dialog has been shown,
// inside its loop, with that dialog.
using ModalHook = std::function<void(Dialog& dialog)>;
ModalHook SetModalHook(ModalHook hook);

} // namespace ui
