// End to end through the real window: the program's main window (offscreen) in the lab's pc
// namespace, against camsim cameras in host namespaces.
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/TavlinDlg.h"
#include "config/NetCfgDlg.h"
#include "platform/ui/QtAccess.h"
#include "res/ResourceIds.h"
#include "tests/support/UiTestEnv.h"
#include "tools/lab/Lab.h"

namespace {

using namespace std::chrono_literals;

// One datagram from camsim's log.
struct Logged {
    std::string proto;
    std::string cmd;
    std::string iface;
    std::vector<std::uint8_t> bytes;
};

std::vector<Logged> ReadLog(const std::string& path) {
    std::vector<Logged> out;
    static const std::regex field(R"(if=(\S+) .*proto=(\S+) cmd=(\S+) .*hex=([0-9a-f]*))");
    for (const std::string& line : lab::Lab::ReadLines(path)) {
        std::smatch m;
        if (!std::regex_search(line, m, field))
            continue;
        Logged d{m[2], m[3], m[1], {}};
        const std::string hex = m[4];
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            d.bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<Logged> Sets(const std::string& path) {
    std::vector<Logged> sets;
    for (Logged& d : ReadLog(path))
        if ((d.proto == "DH" && d.cmd == "0x0102") || (d.proto == "MO_I" && d.cmd == "0x0002"))
            sets.push_back(std::move(d));
    return sets;
}

std::size_t Searches(const std::string& path) {
    std::size_t n = 0;
    for (const Logged& d : ReadLog(path))
        n += (d.cmd == "0x0101" || (d.proto == "MO_I" && d.cmd == "0x0000")) ? 1 : 0;
    return n;
}

class WindowLab : public ::testing::Test {
protected:
    void TearDown() override {
        ui::SetModalHook({});
        window.reset(); // stop the searchers before the lab removes their interfaces
    }

    void OpenWindow() {
        window = std::make_unique<CTavlinDlg>(settings.Path());
        ASSERT_TRUE(window->Create());
    }
    int Rows() { return window->List(res::kIdcCameraList).GetItemCount(); }
    std::string Cell(int row, int col) { return window->List(res::kIdcCameraList).GetItemText(row, col); }
    int RowOf(const std::string& address) {
        for (int r = 0; r < Rows(); ++r) {
            const CameraItem* item = window->Cameras()->Item(r);
            if (item && FieldText(item->info.szIp) == address)
                return r;
        }
        return -1;
    }
    bool WaitRows(int n, std::chrono::milliseconds t = 5s) { return testenv::WaitUntil([&] { return Rows() >= n; }, t); }
    bool WaitFor(const std::string& address, std::chrono::milliseconds t = 5s) {
        return testenv::WaitUntil([&] { return RowOf(address) >= 0; }, t);
    }
    // One camera at 10.0.0.5 on the pc's 10.0.0.1/24 link, listed in an open window. moveHost: the
    // camera's host follows a new address.
    lab::Lab::Camsim OneCamera(const std::string& spec, bool moveHost = false) {
        lab.AddHost("cams");
        const std::string pcIf = lab.Link("cams", "10.0.0.1/24", "10.0.0.5/24");
        std::vector<std::string> args = {"--camera", spec};
        if (moveHost)
            args.insert(args.begin(), {"--move-host", lab.PeerOf(pcIf)});
        lab::Lab::Camsim sim = lab.StartCamsim("cams", args);
        OpenWindow();
        EXPECT_TRUE(WaitFor("10.0.0.5"));
        return sim;
    }
    void Select(int row) {
        ui::ListView list = window->List(res::kIdcCameraList);
        for (int r = 0; r < list.GetItemCount(); ++r)
            list.SetItemSelected(r, r == row);
    }

    lab::Lab lab;
    testenv::TempDir settings;
    std::unique_ptr<CTavlinDlg> window;
};

TEST_F(WindowLab, ListsCamerasOfBothProtocols) {
    lab.AddHost("cams");
    lab.Link("cams", "10.0.0.1/24", "10.0.0.2/24");
    lab.StartCamsim("cams", {
        "--camera", "proto=dh,ip=10.0.0.5,port=80,p2p=DHH0001,name=Front door,sys=67.1.61.0",
        "--camera", "proto=dh,ip=10.0.0.6,port=8080,p2p=DHJ0002,name=Back yard,sys=67.1.60.0",
        "--camera", "proto=moi,ip=10.0.0.7,port=81,p2p=MOI000003,name=Garage",
        "--camera", "proto=dh,ip=172.16.5.5,mask=255.255.255.0,port=80,p2p=FAR0004,name=Far away",
        "--camera", "proto=dh,ip=10.0.0.8,port=65535,p2p=CN0005,name=\xE5\x89\x8D\xE9\x97\xA8",
        "--camera", "proto=moi,ip=10.0.0.9,port=80,p2p=PL0006,name=Kamera \xC5\xBC\xC3\xB3\xC5\x82w",
    });
    OpenWindow();
    ASSERT_TRUE(WaitRows(6)) << Rows();
    struct Expect {
        const char* ip;
        const char* label;
        const char* name; // window code page
        const char* address;
        const char* p2p;
    } expected[] = {
        {"10.0.0.5", "H", "Front door", "10.0.0.5:80", "DHH0001"},
        {"10.0.0.6", "J", "Back yard", "10.0.0.6:8080", "DHJ0002"},
        {"10.0.0.7", "AJ", "Garage", "10.0.0.7:81", "MOI000003"},
        {"172.16.5.5", "H", "Far away", "Submask not match", "FAR0004"},
        {"10.0.0.8", "H", "\xC7\xB0\xC3\xC5", "10.0.0.8:65535", "CN0005"},
        {"10.0.0.9", "AJ", "Kamera \x81\x30\x97\x34\xA8\xAE\x81\x30\x92\x30w", "10.0.0.9:80", "PL0006"},
    };
    for (const Expect& e : expected) {
        const int row = RowOf(e.ip);
        ASSERT_GE(row, 0) << e.ip;
        EXPECT_EQ(Cell(row, 0), e.label) << e.ip;
        EXPECT_EQ(Cell(row, 1), e.name) << e.ip;
        EXPECT_EQ(Cell(row, 2), e.address) << e.ip;
        EXPECT_EQ(Cell(row, 3), e.p2p) << e.ip;
    }
    testenv::ProcessEvents(300);
    EXPECT_EQ(Rows(), 6) << "every camera once, although each search went out twice";
}

TEST_F(WindowLab, ACameraOnTwoInterfacesAndInBothProtocolsIsListedOnce) {
    lab.AddHost("cams");
    lab.Link("cams", "10.0.0.1/24", "10.0.0.2/24");
    lab.Link("cams", "10.1.0.1/24", "10.1.0.2/24");
    lab.StartCamsim("cams", {"--camera", "proto=both,ip=10.0.0.5,p2p=BOTH01,sys=1.2.3.4"});
    OpenWindow();
    ASSERT_TRUE(WaitFor("10.0.0.5"));
    testenv::ProcessEvents(500);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), "J") << "the DH burst goes first, so its reply wins";
    EXPECT_EQ(window->Cameras()->Item(0)->bDhProtocol, 1);
}

TEST_F(WindowLab, ACameraOnTheSecondInterfaceIsSetThroughIt) {
    lab.AddHost("empty");
    lab.Link("empty", "10.0.0.1/24", "10.0.0.2/24");
    lab.AddHost("cams");
    lab.Link("cams", "10.1.0.1/24", "10.1.0.5/24");
    const auto sim = lab.StartCamsim("cams", {"--camera", "proto=dh,ip=10.1.0.5,p2p=SLOT1"});
    OpenWindow();
    ASSERT_TRUE(WaitFor("10.1.0.5"));
    const int row = RowOf("10.1.0.5");
    EXPECT_EQ(window->Cameras()->Item(row)->nSlot, 1);

    CameraInfo record = window->Cameras()->Item(row)->info;
    SetHttpPort(record, 8081);
    window->ApplyNetworkSettings(record, row);
    const auto sets = lab.WaitForLines(sim.log, "cmd=0x0102", 1, 3s);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_NE(sets[0].find("to=255.255.255.255:8600"), std::string::npos) << sets[0];
    EXPECT_NE(sets[0].find("from=10.1.0.1:"), std::string::npos) << "left through the second interface: " << sets[0];
}

TEST_F(WindowLab, LanguageChangeRebuildsTheListInTheNewLanguage) {
    lab.AddHost("cams");
    lab.Link("cams", "10.0.0.1/24", "10.0.0.2/24");
    lab.StartCamsim("cams", {"--camera", "proto=dh,ip=172.16.5.5,p2p=FAR"});
    OpenWindow();
    ASSERT_TRUE(WaitFor("172.16.5.5"));
    EXPECT_EQ(Cell(0, 2), "Submask not match");
    window->Combo(res::kIdcLanguageCombo).SetCurSel(3);
    window->OnLanguageChange();
    ASSERT_TRUE(WaitFor("172.16.5.5"));
    EXPECT_EQ(Cell(0, 2), "Die Teilnetzmaske passt nicht");
}

// The network-setting dialog driven with real input: the IP field, the port, OK.
void EditAndOk(CNetCfgDlg& d, const char* lastIpField, const char* port) {
    d.IpAddress(res::kIdcIpAddress).SetFieldText(3, lastIpField);
    auto* edit = qobject_cast<QLineEdit*>(ui::ItemWidgetOf(d, res::kIdcHttpPort));
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, port);
    QTest::mouseClick(ui::ItemWidgetOf(d, res::kIdcNetOk), Qt::LeftButton);
}

TEST_F(WindowLab, NetworkSettingsOfADhCameraTravelWithItsOwnBytes) {
    const auto sim =
        OneCamera("proto=dh,ip=10.0.0.5,extra=10.0.0.99,p2p=DHSET,name=Lobby,sys=67.1.61.0,app=9.8.7.6,"
                  "res1=010203040506,res2=07,res3=08090a0b0c0d0e0f101112131415161718191a1b1c1d,dhcp=1,user=root,password=pw",
                  true);
    ASSERT_GE(RowOf("10.0.0.5"), 0);
    Select(RowOf("10.0.0.5"));
    const CameraInfo reported = window->Cameras()->Item(RowOf("10.0.0.5"))->info;

    ui::SetModalHook([](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CNetCfgDlg&>(d);
        EXPECT_EQ(dlg.GetCheck(res::kIdcDhcp), 1);
        QTest::mouseClick(ui::ItemWidgetOf(dlg, res::kIdcDhcp), Qt::LeftButton); // DHCP off
        EditAndOk(dlg, "50", "8080");
    });
    window->OnNetworkSetting();

    const auto sets = Sets(sim.log);
    ASSERT_EQ(sets.size(), 1u);
    ASSERT_EQ(sets[0].bytes.size(), 324u);
    CameraInfo sent;
    std::memcpy(&sent, sets[0].bytes.data() + 4, sizeof sent);
    EXPECT_EQ(FieldText(sent.szIp), "10.0.0.50");
    EXPECT_EQ(HttpPort(sent), 8080);
    EXPECT_EQ(sent.bDhcp, 0);
    EXPECT_EQ(FieldText(sent.szUser), "admin");
    EXPECT_EQ(FieldText(sent.szPassword), "");
    // Everything the dialog does not edit is the camera's own, byte for byte.
    EXPECT_EQ(0, std::memcmp(sent.szExtraAddr, reported.szExtraAddr, 16));
    EXPECT_EQ(0, std::memcmp(sent.abReserved1, reported.abReserved1, 6));
    EXPECT_EQ(0, std::memcmp(sent.szP2pId, reported.szP2pId, 32 + 80 + 16 + 16));
    EXPECT_EQ(sent.byReserved2, reported.byReserved2);
    EXPECT_EQ(0, std::memcmp(sent.abReserved3, reported.abReserved3, 22));
    EXPECT_EQ(reported.abReserved3[21], 0x1d) << "camsim's reserved bytes reached the tool";

    ASSERT_TRUE(WaitFor("10.0.0.50")) << "the camera moved and answers the new search";
    EXPECT_EQ(Cell(RowOf("10.0.0.50"), 2), "10.0.0.50:8080");
}

TEST_F(WindowLab, NetworkSettingsOfAnMoiCamera) {
    const auto sim = OneCamera("proto=moi,ip=10.0.0.5,dns=10.0.0.2,port=80,p2p=MOIABCDEFGHIJKL");
    ASSERT_GE(RowOf("10.0.0.5"), 0);

    for (int dhcp : {0, 1}) {
        Select(RowOf("10.0.0.5"));
        ui::SetModalHook([dhcp](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CNetCfgDlg&>(d);
            if (dhcp)
                QTest::mouseClick(ui::ItemWidgetOf(dlg, res::kIdcDhcp), Qt::LeftButton);
            dlg.IpAddress(res::kIdcIpAddress).SetFieldText(3, "5");
            QTest::mouseClick(ui::ItemWidgetOf(dlg, res::kIdcNetOk), Qt::LeftButton);
        });
        window->OnNetworkSetting();
        const auto sets = lab.WaitForLines(sim.log, "proto=MO_I cmd=0x0002", static_cast<std::size_t>(dhcp + 1), 3s);
        ASSERT_EQ(sets.size(), static_cast<std::size_t>(dhcp + 1));
        ASSERT_TRUE(WaitFor("10.0.0.5"));
    }
    const auto sets = Sets(sim.log);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].bytes.size(), 84u);
    EXPECT_EQ(sets[0].bytes, sets[1].bytes) << "the DHCP box makes no difference on the wire";
    const std::vector<std::uint8_t> tail(sets[0].bytes.begin() + 23 + 43, sets[0].bytes.end());
    EXPECT_EQ(tail, (std::vector<std::uint8_t>{10, 0, 0, 5, 255, 255, 255, 0, 10, 0, 0, 1, 10, 0, 0, 2, 0, 80}));
    const std::string p2p(sets[0].bytes.begin() + 23 + 4, sets[0].bytes.begin() + 23 + 17);
    EXPECT_EQ(p2p, "MOIABCDEFGHIJ") << "the first 13 bytes of the identifier";
    const std::string user(sets[0].bytes.begin() + 23 + 17, sets[0].bytes.begin() + 23 + 22);
    EXPECT_EQ(user, "admin");
}

TEST_F(WindowLab, CancelEscapeAndCloseBoxSendNothing) {
    const auto sim = OneCamera("proto=dh,ip=10.0.0.5,p2p=KEEP");
    ASSERT_GE(RowOf("10.0.0.5"), 0);
    const std::function<void(CNetCfgDlg&)> ways[] = {
        [](CNetCfgDlg& d) { QTest::mouseClick(ui::ItemWidgetOf(d, res::kIdcNetCancel), Qt::LeftButton); },
        [](CNetCfgDlg& d) { QTest::keyClick(ui::WidgetOf(d), Qt::Key_Escape); },
        [](CNetCfgDlg& d) { d.SendSysCommand(ui::kScClose); },
    };
    for (const auto& way : ways) {
        Select(RowOf("10.0.0.5"));
        ui::SetModalHook([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CNetCfgDlg&>(d);
            dlg.IpAddress(res::kIdcIpAddress).SetFieldText(3, "99");
            way(dlg);
        });
        window->OnNetworkSetting();
    }
    testenv::ProcessEvents(300);
    EXPECT_TRUE(Sets(sim.log).empty());
    EXPECT_EQ(Rows(), 1) << "the list stays as it was";
}

class IpMatchLab : public WindowLab {
protected:
    // The PC at 192.168.1.20/24; on the same link a camera at 10.0.0.5/24 and the in-subnet cameras
    // given.
    void Start(const std::vector<std::string>& inSubnetHosts) {
        lab.AddHost("cams");
        const std::string pcIf = lab.Link("cams", "192.168.1.20/24", "10.0.0.5/24");
        std::vector<std::string> args = {"--move-host", lab.PeerOf(pcIf), "--camera",
                                         "proto=dh,ip=10.0.0.5,mask=255.255.255.0,gw=10.0.0.1,dns=10.0.0.2,port=81,"
                                         "p2p=MOVE,user=root,password=x,dhcp=1"};
        for (const std::string& h : inSubnetHosts)
            args.insert(args.end(), {"--camera", "proto=moi,ip=192.168.1." + h + ",p2p=IN" + h});
        sim = lab.StartCamsim("cams", args);
        OpenWindow();
        ASSERT_TRUE(WaitRows(static_cast<int>(inSubnetHosts.size()) + 1));
    }
    lab::Lab::Camsim sim;
};

TEST_F(IpMatchLab, MovesTheCameraIntoThePcsNetwork) {
    Start({});
    EXPECT_EQ(Cell(RowOf("10.0.0.5"), 2), "Submask not match");
    Select(RowOf("10.0.0.5"));
    // Enter in the main window runs IP Match: IP Match is the default button.
    QTest::keyClick(ui::WidgetOf(*window), Qt::Key_Return);

    const auto sets = Sets(sim.log);
    ASSERT_EQ(sets.size(), 1u);
    CameraInfo sent;
    std::memcpy(&sent, sets[0].bytes.data() + 4, sizeof sent);
    EXPECT_EQ(FieldText(sent.szIp), "192.168.1.10");
    EXPECT_EQ(FieldText(sent.szMask), "255.255.255.0");
    EXPECT_EQ(FieldText(sent.szGateway), "192.168.1.1");
    EXPECT_EQ(FieldText(sent.szUser), "admin");
    EXPECT_EQ(FieldText(sent.szPassword), "");
    EXPECT_EQ(sent.bDhcp, 0);
    EXPECT_EQ(FieldText(sent.szDns), "10.0.0.2");
    EXPECT_EQ(HttpPort(sent), 81);
    EXPECT_EQ(window->m_localAddr[3], 20);

    ASSERT_TRUE(WaitFor("192.168.1.10"));
    EXPECT_EQ(Cell(RowOf("192.168.1.10"), 2), "192.168.1.10:81") << "now in the PC's subnet";
}

TEST_F(IpMatchLab, TakesTheFirstFreeHostNumber) {
    Start({"10", "11", "13"});
    Select(RowOf("10.0.0.5"));
    window->OnIpMatch();
    const auto sets = Sets(sim.log);
    ASSERT_EQ(sets.size(), 1u);
    CameraInfo sent;
    std::memcpy(&sent, sets[0].bytes.data() + 4, sizeof sent);
    EXPECT_EQ(FieldText(sent.szIp), "192.168.1.12");
}

TEST_F(IpMatchLab, ACameraInSubnetIsNotMovedButTheListIsRebuilt) {
    Start({"10"});
    const std::size_t searchesBefore = Searches(sim.log);
    Select(RowOf("192.168.1.10"));
    window->OnIpMatch();
    EXPECT_EQ(Rows(), 0) << "cleared at once";
    EXPECT_TRUE(WaitRows(2));
    EXPECT_TRUE(Sets(sim.log).empty());
    EXPECT_GT(Searches(sim.log), searchesBefore);
}

TEST_F(IpMatchLab, WithoutSelectionNothingHappens) {
    Start({});
    Select(-1);
    testenv::ProcessEvents(300);
    const std::size_t searchesBefore = Searches(sim.log);
    window->OnIpMatch();
    testenv::ProcessEvents(300);
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(Sets(sim.log).empty());
    EXPECT_EQ(Searches(sim.log), searchesBefore);
}

TEST_F(WindowLab, ClearArpBufferEmptiesTheNeighbourCache) {
    lab.AddHost("cams");
    const std::string pcIf = lab.Link("cams", "10.0.0.1/24", "10.0.0.2/24");
    const struct {
        const char* ip;
        const char* nud;
    } entries[] = {{"10.0.0.77", "stale"}, {"10.0.0.78", "reachable"}, {"10.0.0.79", "permanent"}};
    for (const auto& e : entries)
        ASSERT_EQ(lab.Run("", {"ip", "neigh", "replace", e.ip, "lladdr", "02:00:00:00:00:77", "dev", pcIf, "nud", e.nud}),
                  0);
    OpenWindow();
    window->OnClearArpBuffer();
    const std::string out = lab.Dir() + "/neigh.txt";
    const int pid = lab.Spawn("", {"ip", "-4", "neigh", "show", "dev", pcIf}, out);
    ASSERT_EQ(lab.WaitExit(pid, 5s), 0);
    const std::string table = testenv::ReadFile(out);
    EXPECT_EQ(table.find("10.0.0.77"), std::string::npos) << table;
    EXPECT_EQ(table.find("10.0.0.78"), std::string::npos) << table;
    // An entry an administrator configured by hand is not part of the cache.
    EXPECT_NE(table.find("10.0.0.79"), std::string::npos) << table;
}

} // namespace
