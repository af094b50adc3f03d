// Input and control flow of the layer's dialogs: Enter, Escape and the close box with real key
// events, modal runs and their hook, posted closes, popup and window menus, work posted from other
// threads, and the message box.
#include <atomic>
#include <thread>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "tests/ui/UiLayerFixture.h"

namespace uitest {
namespace {

using Calls = std::vector<std::string>;

class InputTest : public UiTest {};

TEST_F(InputTest, EnterAndEscapeAreRoutedAsOnTheOriginalPlatform) {
    const struct {
        const char* what;
        bool defaultButton;
        bool defaultDisabled;
        int focus;
        Qt::Key key;
        Calls expected;
    } cases[] = {
        {"Enter in an edit clicks the default button", true, false, kNumberEdit, Qt::Key_Return, {"Go"}},
        {"keypad Enter as well", true, false, kNumberEdit, Qt::Key_Enter, {"Go"}},
        {"Enter on a check box", true, false, kCheck, Qt::Key_Return, {"Go"}},
        {"Enter in the list", true, false, kList, Qt::Key_Return, {"Go"}},
        {"Enter in the closed combo", true, false, kCombo, Qt::Key_Return, {"Go"}},
        {"Enter in an IP field", true, false, kIp, Qt::Key_Return, {"Go"}},
        {"Enter on a focused push button clicks that one", true, false, kOther, Qt::Key_Return, {"Other"}},
        {"Enter on the focused default button", true, false, kGo, Qt::Key_Return, {"Go"}},
        {"without a default button Enter is OK", false, false, kNumberEdit, Qt::Key_Return, {"OK"}},
        {"...also on a push button it clicks that", false, false, kOther, Qt::Key_Enter, {"Other"}},
        {"a disabled default button takes no Enter", true, true, kNumberEdit, Qt::Key_Return, {}},
        {"Escape is Cancel", true, false, kNumberEdit, Qt::Key_Escape, {"Cancel"}},
        {"Escape on a push button", true, false, kOther, Qt::Key_Escape, {"Cancel"}},
        {"Escape in an IP field", true, false, kIp, Qt::Key_Escape, {"Cancel"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDialog dlg(SampleTemplate({ui::style::kVisible, c.defaultButton, c.defaultDisabled}));
        dlg.callBase = false;
        ASSERT_TRUE(dlg.Create());
        QWidget* target = FocusTarget(dlg, c.focus);
        target->setFocus();
        ASSERT_EQ(ui::WidgetOf(dlg)->focusWidget(), target);
        QTest::keyClick(target, c.key);
        Calls expected{"Init"};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(dlg.calls, expected);
    }
}

TEST_F(InputTest, OkSavesTheControlsAndEndsTheDialog) {
    RecordingDialog dlg(SampleTemplate({ui::style::kVisible, false}));
    ui::SetModalHook([&](ui::Dialog&) {
        QTest::keyClicks(FocusTarget(dlg, kNumberEdit), "554");
        QTest::keyClick(FocusTarget(dlg, kNumberEdit), Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(), ui::kIdOk);
    EXPECT_EQ(dlg.numberText, "554") << "default OK runs the data exchange from the controls";
    EXPECT_EQ(dlg.calls, (Calls{"Init", "OK"}));
}

TEST_F(InputTest, TheCloseBoxRunsOnCloseAndNeverClosesByItself) {
    RecordingDialog dlg(SampleTemplate());
    dlg.callBase = false;
    dlg.Create();
    QWidget* window = ui::WidgetOf(dlg);
    EXPECT_FALSE(window->close()) << "the close request is the dialog's to grant";
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dlg.IsCreated());
    EXPECT_EQ(dlg.calls, (Calls{"Init", "Close"}));

    dlg.callBase = true;
    window->close();
    EXPECT_FALSE(window->isVisible()) << "the default OnClose ends the dialog";
    EXPECT_FALSE(dlg.IsCreated());
}

TEST_F(InputTest, ModalRunTheHookAndNestedDialogs) {
    RecordingDialog outer(SampleTemplate({0, true, false, 1}));
    RecordingDialog inner(SampleTemplate({0, true, false, 2}), &outer);
    Calls seen;
    int innerResult = 0;
    outer.OnClicked(kOther, [&] {
        innerResult = inner.DoModal();
        seen.push_back("inner returned " + std::to_string(innerResult));
    });
    ui::SetModalHook([&](ui::Dialog& d) {
        QWidget* window = ui::WidgetOf(d);
        seen.push_back("shown " + std::to_string(d.Template().id));
        EXPECT_TRUE(d.IsCreated());
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
        if (d.Template().id == 1) {
            QTest::mouseClick(ui::ItemWidgetOf(d, kOther), Qt::LeftButton); // runs the inner dialog
            d.EndDialog(7);
        } else {
            EXPECT_EQ(window->parentWidget(), ui::WidgetOf(outer)) << "owned by its parent's window";
            d.SetDlgItemText(kPasswordEdit, "typed");
            d.EndDialog(5);
        }
    });
    EXPECT_EQ(outer.DoModal(), 7);
    EXPECT_EQ(seen, (Calls{"shown 1", "shown 2", "inner returned 5"}));
    EXPECT_FALSE(outer.IsCreated());
    EXPECT_FALSE(ui::WidgetOf(outer)->isVisible());
    EXPECT_EQ(inner.GetDlgItemText(kPasswordEdit), "typed") << "an ended dialog's controls still read";

    // A second run builds a fresh window: initialised again, and the hook runs again.
    seen.clear();
    ui::SetModalHook([&](ui::Dialog& d) { d.EndDialog(3); });
    EXPECT_EQ(inner.DoModal(), 3);
    EXPECT_EQ(inner.calls, (Calls{"Init", "Init"}));
    EXPECT_EQ(inner.GetDlgItemText(kPasswordEdit), "");
}

TEST_F(InputTest, EndDialogDuringInitialisationSkipsTheLoop) {
    RecordingDialog dlg(SampleTemplate({0}));
    dlg.endInInit = true;
    int hookRuns = 0;
    ui::SetModalHook([&](ui::Dialog&) { ++hookRuns; });
    EXPECT_EQ(dlg.DoModal(), 42);
    ProcessEvents();
    EXPECT_EQ(hookRuns, 0);
    EXPECT_FALSE(ui::WidgetOf(dlg)->isVisible());
}

TEST_F(InputTest, PostCloseRunsOnCloseLaterThroughTheLoop) {
    RecordingDialog dlg(SampleTemplate({0}));
    ui::SetModalHook([&](ui::Dialog& d) {
        d.PostClose();
        EXPECT_EQ(dlg.calls, (Calls{"Init"})) << "not at once";
    });
    EXPECT_EQ(dlg.DoModal(), ui::kIdCancel);
    EXPECT_EQ(dlg.calls, (Calls{"Init", "Close"}));

    // A close posted to a window that ends before it arrives is dropped.
    RecordingDialog modeless(SampleTemplate());
    modeless.Create();
    modeless.PostClose();
    modeless.EndDialog(ui::kIdOk);
    ProcessEvents(50);
    EXPECT_EQ(modeless.calls, (Calls{"Init"}));
}

TEST_F(InputTest, PopupMenuHookChoosesAndTheCommandRunsBeforeTrackReturns) {
    RecordingDialog dlg(SampleTemplate());
    dlg.Create();
    Calls ran;
    dlg.OnCommand(32777, [&] { ran.push_back("32777"); });
    dlg.OnCommand(32778, [&] { ran.push_back("32778"); });
    ui::PopupMenu menu(
        {{32777, "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3", true}, {0, "", true}, {32778, "Off", false}});
    menu.AppendItem(32779, "Last");

    const struct {
        int choice;
        Calls expected;
    } cases[] = {
        {32777, {"32777"}},
        {0, {}},
        {32778, {}} /* disabled: a user cannot choose it */,
        {99, {}} /* not offered */,
    };
    for (const auto& c : cases) {
        ran.clear();
        std::vector<ui::MenuItem> offered;
        QPoint at;
        ui::SetPopupMenuHook([&](const std::vector<ui::MenuItem>& items, int x, int y) {
            offered = items;
            at = QPoint(x, y);
            return c.choice;
        });
        dlg.TrackPopupMenu(menu, 120, 80);
        EXPECT_EQ(ran, c.expected) << c.choice;
        ASSERT_EQ(offered.size(), 4u);
        EXPECT_EQ(offered[0].text, "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3");
        EXPECT_EQ(offered[1].command, 0);
        EXPECT_FALSE(offered[2].enabled);
        EXPECT_EQ(at, QPoint(120, 80));
    }

    // A menu command with no command handler reaches the click handler of the same ID.
    ui::SetPopupMenuHook([](const std::vector<ui::MenuItem>&, int, int) { return kGo; });
    dlg.TrackPopupMenu(ui::PopupMenu({{kGo, "Go", true}}), 0, 0);
    EXPECT_EQ(dlg.calls.back(), "Go");
}

TEST_F(InputTest, WithoutTheHookARealMenuShowsTheTexts) {
    RecordingDialog dlg(SampleTemplate());
    dlg.Create();
    int chosen = 0;
    dlg.OnCommand(32780, [&] { chosen = 32780; });
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QTest::keyClick(menu, Qt::Key_Down); // the first enabled entry
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    dlg.TrackPopupMenu(
        ui::PopupMenu({{32779, "\xC7\xE5\xB3\xFD\x41rp", true}, {0, "", true}, {32780, "About", true}}), 10,
        10);
    EXPECT_EQ(texts, (QStringList{QStringLiteral(u"清除Arp"), QStringLiteral("-"), QStringLiteral("About")}));
    EXPECT_EQ(chosen, 32780);
}

TEST_F(InputTest, WindowMenuFromAltSpaceAndTheBackground) {
    RecordingDialog dlg(SampleTemplate({ui::style::kVisible | ui::style::kMinimizeBox}));
    dlg.callBase = false;
    dlg.Create();
    dlg.AppendSystemMenuSeparator();
    dlg.AppendSystemMenuItem(0x0010, "About Brenvik(&A)...");
    QWidget* window = ui::WidgetOf(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    std::vector<std::vector<ui::MenuItem>> opened;
    int choice = 0;
    ui::SetPopupMenuHook([&](const std::vector<ui::MenuItem>& items, int, int) {
        opened.push_back(items);
        return choice;
    });

    choice = 0x0010;
    QTest::keyClick(FocusTarget(dlg, kNumberEdit), Qt::Key_Space, Qt::AltModifier);
    ProcessEvents();
    ASSERT_EQ(opened.size(), 1u) << "Alt+Space opens the window menu";
    const std::vector<ui::MenuItem>& items = opened[0];
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].command, static_cast<int>(ui::kScMinimize));
    EXPECT_EQ(items[1].command, static_cast<int>(ui::kScClose));
    EXPECT_EQ(items[2].command, 0);
    EXPECT_EQ(items[3].text, "About Brenvik(&A)...");
    EXPECT_EQ(dlg.calls.back(), "Sys:16");
    EXPECT_EQ(Item<QLineEdit>(dlg, kNumberEdit)->text(), "") << "the key went to the menu, not the edit";

    // A right-click on the background opens it; one on a control does not.
    const auto rightClick = [&](QPoint pos) {
        QWidget* target = window->childAt(pos) != nullptr ? window->childAt(pos) : window;
        QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(window, pos),
                                window->mapToGlobal(pos));
        QApplication::sendEvent(target, &event);
    };
    choice = static_cast<int>(ui::kScClose);
    rightClick(ui::ItemWidgetOf(dlg, kLabel)->geometry().center());
    EXPECT_EQ(opened.size(), 1u);
    rightClick(QPoint(2, window->height() - 2));
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(dlg.calls, (Calls{"Init", "Sys:16", "Sys:61536", "Close"})) << "Close runs OnClose";

    choice = static_cast<int>(ui::kScMinimize);
    rightClick(QPoint(2, window->height() - 2));
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(InputTest, WorkPostedFromOtherThreadsRunsOnTheUiThreadUntilTheWindowEnds) {
    RecordingDialog dlg(SampleTemplate());
    dlg.PostToUiThread([] { ADD_FAILURE() << "posted before the window exists"; });
    dlg.Create();

    constexpr int kThreads = 4;
    constexpr int kPerThread = 250;
    int ran = 0; // touched on the UI thread only
    std::atomic<int> offThread{0};
    QThread* uiThread = QThread::currentThread();
    {
        std::vector<std::jthread> posters;
        posters.reserve(kThreads);
        for (int t = 0; t < kThreads; ++t)
            posters.emplace_back([&] {
                for (int i = 0; i < kPerThread; ++i)
                    dlg.PostToUiThread([&] {
                        if (QThread::currentThread() != uiThread)
                            ++offThread;
                        ++ran;
                    });
            });
    }
    EXPECT_EQ(ran, 0) << "nothing runs before the loop does";
    EXPECT_TRUE(WaitUntil([&] { return ran == kThreads * kPerThread; }));
    EXPECT_EQ(offThread.load(), 0);

    // Queued but not yet run when the window ends, and posted after: both dropped.
    std::atomic<int> late{0};
    dlg.PostToUiThread([&] { ++late; });
    dlg.EndDialog(ui::kIdCancel);
    std::thread([&] { dlg.PostToUiThread([&] { ++late; }); }).join();
    ProcessEvents(50);
    EXPECT_EQ(late.load(), 0);
}

TEST_F(InputTest, MessageBoxIsAModalDialogWithItsTextAndOk) {
    std::string caption;
    QString shown;
    bool okIsDefault = false;
    ui::SetModalHook([&](ui::Dialog& box) {
        caption = box.GetWindowText();
        for (const QLabel* label : ui::WidgetOf(box)->findChildren<QLabel*>())
            shown += label->text();
        const auto* ok = qobject_cast<QPushButton*>(ui::ItemWidgetOf(box, ui::kIdOk));
        okIsDefault = ok != nullptr && ok->isDefault() && ok->text() == "OK";
        QTest::keyClick(ui::WidgetOf(box), Qt::Key_Return);
    });
    ui::MessageBox(nullptr,
                   "Windows \xCC\xD7\xBD\xD3\xD7\xD6\xB3\xF5\xCA\xBC\xBB\xAF\xCA\xA7\xB0\xDC\xA1\xA3 & more",
                   "Tavlin");
    EXPECT_EQ(caption, "Tavlin");
    EXPECT_EQ(shown, QStringLiteral(u"Windows 套接字初始化失败。 & more"));
    EXPECT_TRUE(okIsDefault);
}

} // namespace
} // namespace uitest
