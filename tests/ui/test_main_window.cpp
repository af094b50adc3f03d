// The main window under the offscreen platform, driven through the same layer the program uses.
// The searchers are real: these tests run inside a private network namespace with only loopback, so
// they open no slot and send nothing anywhere.
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "app/TavlinDlg.h"
#include "platform/ui/QtAccess.h"
#include "res/ResourceIds.h"
#include "search/DhSearcher.h"
#include "search/MoiSearcher.h"
#include "tests/support/UiTestEnv.h"
#include "tools/lab/NamespaceGuard.h"

namespace {

CameraInfo Camera(const char* ip, const char* mask, std::uint16_t port, const char* sysVersion = "67.1.61.0") {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, ip);
    SetFieldText(info.szMask, mask);
    SetFieldText(info.szName, "Cam");
    SetFieldText(info.szP2pId, "P2P-1");
    SetFieldText(info.szSysVersion, sysVersion);
    SetHttpPort(info, port);
    return info;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The window starts real searchers: never in the machine's own network namespace.
        lab::NamespaceGuard::Require();
    }
    void TearDown() override { ui::SetModalHook({}); ui::SetPopupMenuHook({}); }

    std::unique_ptr<CTavlinDlg> Open() {
        auto dlg = std::make_unique<CTavlinDlg>(dir.Path());
        EXPECT_TRUE(dlg->Create());
        return dlg;
    }
    std::string Row(CTavlinDlg& dlg, int row, int col) { return dlg.List(res::kIdcCameraList).GetItemText(row, col); }
    int Rows(CTavlinDlg& dlg) { return dlg.List(res::kIdcCameraList).GetItemCount(); }
    // Hands a reply over as a receiver does and waits until the UI thread has taken it.
    void Reply(CTavlinDlg& dlg, const CameraInfo& info, int slot = 0, int dh = 1) {
        dlg.AddCamera(info, slot, dh);
        testenv::WaitUntil([&] { return dlg.Cameras()->WaitingCount() == 0; });
    }

    testenv::TempDir dir;
};

TEST_F(MainWindowTest, OpensInEnglishWithoutSysIni) {
    auto dlg = Open();
    EXPECT_EQ(dlg->GetWindowText(), "IP Brenvik");
    ui::ListView list = dlg->List(res::kIdcCameraList);
    ASSERT_EQ(list.GetColumnCount(), 4);
    const struct {
        int width;
        const char* header;
    } columns[] = {{60, "Device"}, {120, "Name"}, {200, "IP Address"}, {200, "P2P-ID"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.GetColumnWidth(i), columns[i].width);
        EXPECT_EQ(list.GetColumnText(i), columns[i].header);
    }
    EXPECT_EQ(list.GetStyle() & ui::ListView::kViewMask, ui::ListView::kReport);
    EXPECT_EQ(list.GetStyle() & ui::ListView::kSingleSel, 0u) << "several rows can be selected";
    EXPECT_EQ(list.GetExtendedStyle() & ui::ListView::kFullRowSelect, ui::ListView::kFullRowSelect);
    EXPECT_EQ(list.GetItemCount(), 0);
    // Sizes come from dialog units: the list spans 337 of the window's 351 units and 144 of its 195.
    const QWidget* window = ui::WidgetOf(*dlg);
    const QWidget* listWidget = ui::ItemWidgetOf(*dlg, res::kIdcCameraList);
    EXPECT_NEAR(listWidget->width() * 351.0 / window->width(), 337.0, 2.0);
    EXPECT_NEAR(listWidget->height() * 195.0 / window->height(), 144.0, 2.0);
    EXPECT_NEAR(listWidget->x() * 351.0 / window->width(), 7.0, 1.0);

    ui::ComboBox combo = dlg->Combo(res::kIdcLanguageCombo);
    ASSERT_EQ(combo.GetCount(), 5);
    EXPECT_EQ(combo.GetLBText(0), "English");
    EXPECT_EQ(combo.GetLBText(2), "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
    EXPECT_EQ(combo.GetLBText(4), "Polski");
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(dlg->GetDlgItemText(res::kIdcLanguageLabel), "Language");
    // Our fonts run wider than the template's: the label still shows its whole word, left of the combo.
    QLabel* label = qobject_cast<QLabel*>(ui::ItemWidgetOf(*dlg, res::kIdcLanguageLabel));
    QWidget* comboWidget = ui::ItemWidgetOf(*dlg, res::kIdcLanguageCombo);
    ASSERT_TRUE(label && comboWidget);
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()));
    EXPECT_LT(label->geometry().right(), comboWidget->geometry().left());
    EXPECT_EQ(dlg->GetDlgItemText(res::kIdcIpMatch), "IP Match");
    EXPECT_EQ(dlg->GetDlgItemText(res::kIdcRefresh), "Refresh");
    EXPECT_FALSE(dlg->IsItemVisible(res::kIdcRefresh));
    EXPECT_FALSE(dlg->IsItemEnabled(res::kIdcRefresh));
    EXPECT_FALSE(std::filesystem::exists(dir.File("sys.ini"))) << "nothing is written until the user picks";
    EXPECT_EQ(dlg->SettingsPath(), dir.File("sys.ini"));
}

TEST_F(MainWindowTest, StoredLanguageDecidesTheTexts) {
    struct Case {
        const char* stored;
        int language;
        const char* title;
        const char* ipMatch;
    } cases[] = {
        {"3", 3, "IP Kamera-Tools", "Ein Schl\xA8\xB9sselspiel"},
        {"9", 2, "IP \xC9\xE3\xCF\xF1\xBB\xFA\xB9\xA4\xBE\xDF", "\xD2\xBB\xBC\xFC\xC6\xA5\xC5\xE4"},
        {"4", 4, "Wyszukiwarka", "Szukaj"},
    };
    for (const Case& c : cases) {
        const std::string ini = std::string("[SYSTEM]\nLANGUAGE=") + c.stored + "\n";
        testenv::WriteFile(dir.File("sys.ini"), ini);
        auto dlg = Open();
        EXPECT_EQ(dlg->Language(), c.language);
        EXPECT_EQ(dlg->Combo(res::kIdcLanguageCombo).GetCurSel(), c.language);
        EXPECT_EQ(dlg->GetWindowText(), c.title);
        EXPECT_EQ(dlg->GetDlgItemText(res::kIdcIpMatch), c.ipMatch);
        EXPECT_EQ(testenv::ReadFile(dir.File("sys.ini")), ini) << "reading never writes back";
    }
}

TEST_F(MainWindowTest, PickingALanguageRelabelsRebuildsAndStores) {
    auto dlg = Open();
    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80)); // no interface has this network
    ASSERT_EQ(Rows(*dlg), 1);
    EXPECT_EQ(Row(*dlg, 0, 2), "Submask not match");

    // A real key press on the real combo, as a user changes the language.
    QComboBox* combo = qobject_cast<QComboBox*>(ui::ItemWidgetOf(*dlg, res::kIdcLanguageCombo));
    ASSERT_NE(combo, nullptr);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    testenv::ProcessEvents();
    EXPECT_EQ(dlg->Language(), 3);
    EXPECT_EQ(dlg->GetWindowText(), "IP Kamera-Tools");
    EXPECT_EQ(dlg->List(res::kIdcCameraList).GetColumnText(0), "Modell");
    EXPECT_EQ(dlg->List(res::kIdcCameraList).GetColumnWidth(2), 200);
    EXPECT_EQ(Rows(*dlg), 0) << "the list is rebuilt";
    EXPECT_NE(testenv::ReadFile(dir.File("sys.ini")).find("LANGUAGE=3"), std::string::npos);

    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80));
    EXPECT_EQ(Row(*dlg, 0, 2), "Die Teilnetzmaske passt nicht") << "mismatch text in the new language";

    dlg.reset();
    auto next = Open();
    EXPECT_EQ(next->Language(), 3) << "the next start reads the stored choice";
}

TEST_F(MainWindowTest, ListRulesThroughTheHandOver) {
    auto dlg = Open();
    Reply(*dlg, Camera("127.0.0.2", "255.0.0.0", 65535, "67.1.61.0"), 2, 1);
    Reply(*dlg, Camera("127.0.0.2", "255.0.0.0", 81, "1.0.0.0"), 3, 0); // same address: dropped
    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80, "67.1.60.0"), 0, 1);
    Reply(*dlg, Camera("10.9.9.10", "255.255.255.0", 80), 1, 0);
    ASSERT_EQ(Rows(*dlg), 3);
    EXPECT_EQ(Row(*dlg, 0, 0), "H");
    EXPECT_EQ(Row(*dlg, 0, 1), "Cam");
    EXPECT_EQ(Row(*dlg, 0, 2), "127.0.0.2:65535") << "loopback network counts; port unsigned";
    EXPECT_EQ(Row(*dlg, 0, 3), "P2P-1");
    EXPECT_EQ(Row(*dlg, 1, 0), "J");
    EXPECT_EQ(Row(*dlg, 2, 0), "AJ");
    const CameraItem* first = dlg->Cameras()->Item(0);
    EXPECT_EQ(first->nSlot, 2);
    EXPECT_EQ(first->bDhProtocol, 1);
    EXPECT_EQ(first->bSubnetMatch, 1);
    EXPECT_EQ(dlg->Cameras()->Item(1)->bSubnetMatch, 0);
}

TEST_F(MainWindowTest, RepliesWaitingForTheUiThreadAreBoundedAndFirstWins) {
    auto dlg = Open();
    // Many repeats from receiver threads while the UI thread is busy: one waiting record per address.
    std::vector<std::thread> receivers;
    for (int t = 0; t < 4; ++t)
        receivers.emplace_back([&dlg, t] {
            for (int i = 0; i < 2000; ++i) {
                char ip[16];
                std::snprintf(ip, sizeof ip, "10.7.0.%d", i % 50);
                CameraInfo info = Camera(ip, "255.255.255.0", static_cast<std::uint16_t>(t + 1));
                dlg->AddCamera(info, t, 1);
            }
        });
    for (auto& r : receivers)
        r.join();
    EXPECT_EQ(dlg->Cameras()->WaitingCount(), 50u);
    testenv::WaitUntil([&] { return dlg->Cameras()->WaitingCount() == 0; });
    EXPECT_EQ(Rows(*dlg), 50);

    // A clear forgets what was waiting: a reply handed over before the clear never shows.
    dlg->AddCamera(Camera("10.8.0.1", "255.255.255.0", 80), 0, 1);
    dlg->ClearCameraList();
    testenv::ProcessEvents(50);
    EXPECT_EQ(Rows(*dlg), 0);
}

TEST_F(MainWindowTest, AboutOpensFromTheWindowMenu) {
    auto dlg = Open();
    const ui::PopupMenu& menu = dlg->SystemMenu();
    ASSERT_FALSE(menu.Items().empty());
    EXPECT_EQ(menu.Items().back().command, 16);
    EXPECT_EQ(menu.Items().back().text, "About Brenvik(&A)...");
    EXPECT_EQ(menu.Items()[menu.Items().size() - 2].command, 0) << "a separator before the entry";

    std::vector<int> opened;
    ui::SetModalHook([&](ui::Dialog& d) {
        opened.push_back(d.Template().id);
        EXPECT_EQ(d.GetWindowText(), "IP Brenvik");
        // No buttons: Escape ends the box, as a user would close it.
        QTest::keyClick(ui::WidgetOf(d), Qt::Key_Escape);
    });
    for (unsigned command : {16u, 16u + 15u})
        dlg->SendSysCommand(command);
    dlg->OnAbout(); // the context menu's entry opens the same box
    EXPECT_EQ(opened, (std::vector<int>{100, 100, 100}));
    EXPECT_EQ(std::string(ui::FindImage(res::kIdrMainFrame) ? "icon" : ""), "icon");
}

TEST_F(MainWindowTest, CloseStopsBothSearchersAndEmptiesTheList) {
    auto dlg = Open();
    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80));
    ASSERT_EQ(Rows(*dlg), 1);
    ASSERT_NE(dlg->DhSearcher(), nullptr);
    dlg->SendSysCommand(ui::kScClose);
    EXPECT_EQ(dlg->DhSearcher(), nullptr);
    EXPECT_EQ(dlg->MoiSearcher(), nullptr);
    EXPECT_EQ(Rows(*dlg), 0);
}

TEST_F(MainWindowTest, EscapeAlsoStopsTheSearchers) {
    auto dlg = Open();
    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80));
    QTest::keyClick(ui::WidgetOf(*dlg), Qt::Key_Escape);
    EXPECT_EQ(dlg->DhSearcher(), nullptr);
    EXPECT_EQ(dlg->MoiSearcher(), nullptr);
    EXPECT_EQ(Rows(*dlg), 0);
}

TEST_F(MainWindowTest, ContextMenuEntriesFollowSelectionAndLanguage) {
    auto dlg = Open();
    std::vector<std::vector<ui::MenuItem>> shown;
    ui::SetPopupMenuHook([&](const std::vector<ui::MenuItem>& items, int, int) {
        shown.push_back(items);
        return 0;
    });
    dlg->OnRClickCameraList();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].size(), 3u) << "no row selected: refresh, clear ARP, about";
    EXPECT_EQ(shown[0][0].command, 32778);
    EXPECT_EQ(shown[0][0].text, "Refresh Camera List");
    EXPECT_EQ(shown[0][1].text, "Clear Arp Buffer");
    EXPECT_EQ(shown[0][2].text, "About Brenvik");

    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80));
    dlg->List(res::kIdcCameraList).SetItemSelected(0, true);
    dlg->Combo(res::kIdcLanguageCombo).SetCurSel(4);
    dlg->OnLanguageChange();
    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80));
    dlg->List(res::kIdcCameraList).SetItemSelected(0, true);
    dlg->OnRClickCameraList();
    ASSERT_EQ(shown.size(), 2u);
    ASSERT_EQ(shown[1].size(), 5u);
    const int commands[] = {32776, 32777, 32778, 32779, 32780};
    const char* polish[] = {"Informacje podstawowe", "Ustawienia sieciowe", "Odswiez liste", "Wyczysc bufor ARP",
                            "O aplikacji"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(shown[1][static_cast<std::size_t>(i)].command, commands[i]);
        EXPECT_EQ(shown[1][static_cast<std::size_t>(i)].text, polish[i]);
    }
}

TEST_F(MainWindowTest, MenuCommandReachesItsHandler) {
    auto dlg = Open();
    Reply(*dlg, Camera("10.9.9.9", "255.255.255.0", 80));
    ui::SetPopupMenuHook([](const std::vector<ui::MenuItem>&, int, int) { return res::kIdmRefresh; });
    dlg->OnRClickCameraList();
    EXPECT_EQ(Rows(*dlg), 0) << "Refresh Camera List cleared the list";
}

class OpenerTest : public MainWindowTest {
protected:
    testenv::RecordingOpener opener;
};

TEST_F(OpenerTest, DoubleClickOpensTheUpperSelectedCamerasPage) {
    const struct {
        const char* ip;
        const char* mask;
        std::uint16_t port;
        const char* url;
    } cases[] = {
        {"127.0.0.5", "255.0.0.0", 80, "http://127.0.0.5:80"},
        {"127.0.0.6", "255.0.0.0", 65535, "http://127.0.0.6:65535"},
        {"10.9.9.9", "255.255.255.0", 8080, "http://10.9.9.9:8080"}, // out of subnet: still opened
    };
    for (const auto& c : cases) {
        const int runs = opener.Runs();
        auto dlg = Open();
        Reply(*dlg, Camera("127.0.0.99", "255.0.0.0", 1)); // row 0, not selected
        Reply(*dlg, Camera(c.ip, c.mask, c.port));
        Reply(*dlg, Camera("127.0.0.98", "255.0.0.0", 2));
        dlg->List(res::kIdcCameraList).SetItemSelected(2, true);
        dlg->List(res::kIdcCameraList).SetItemSelected(1, true);
        dlg->OnDblClkCameraList();
        EXPECT_TRUE(testenv::WaitUntil([&] { return opener.Runs() == runs + 1; }));
        EXPECT_EQ(opener.Arguments(), std::vector<std::string>{c.url});
    }
}

TEST_F(OpenerTest, DoubleClickWithoutSelectionOpensNothing) {
    auto dlg = Open();
    Reply(*dlg, Camera("127.0.0.5", "255.0.0.0", 80));
    dlg->OnDblClkCameraList();
    testenv::ProcessEvents(200);
    EXPECT_EQ(opener.Runs(), 0);
}

} // namespace
