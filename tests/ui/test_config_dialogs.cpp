// The network-setting and basic-information dialogs, driven with real input events on the real
// widgets (offscreen), against an owner that records what OK hands it.
#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "config/BaseParamDlg.h"
#include "config/NetCfgDlg.h"
#include "platform/ui/QtAccess.h"
#include "res/ResourceIds.h"
#include "tests/support/UiTestEnv.h"

namespace {

struct RecordingOwner final : NetCfgOwner {
    virtual ~RecordingOwner() = default;
    void ApplyNetworkSettings(CameraInfo record, int row) override {
        records.push_back(record);
        rows.push_back(row);
    }
    std::vector<CameraInfo> records;
    std::vector<int> rows;
};

class NetCfgDialogTest : public ::testing::Test {
protected:
    void TearDown() override { ui::SetModalHook({}); }

    // Fills the dialog as the main window does for a camera, runs it modally and lets script act as
    // the user. Returns the modal result.
    int Run(const std::function<void(CNetCfgDlg&)>& script, int dhcp = 0, int language = 0) {
        CNetCfgDlg dlg(&owner, nullptr);
        dlg.m_bDhcp = dhcp;
        std::snprintf(dlg.m_szIp, sizeof dlg.m_szIp, "10.0.0.5");
        std::snprintf(dlg.m_szMask, sizeof dlg.m_szMask, "255.255.255.0");
        std::snprintf(dlg.m_szGateway, sizeof dlg.m_szGateway, "10.0.0.1");
        std::snprintf(dlg.m_szDns, sizeof dlg.m_szDns, "not an address");
        dlg.m_strPort = "80";
        dlg.m_nRow = 4;
        dlg.m_nLanguage = language;
        ui::SetModalHook([&](ui::Dialog& d) {
            if (&d == &dlg)
                script(dlg);
        });
        return dlg.DoModal();
    }
    QWidget* W(CNetCfgDlg& d, int id) { return ui::ItemWidgetOf(d, id); }
    void Type(CNetCfgDlg& d, int id, const QString& text) {
        auto* edit = qobject_cast<QLineEdit*>(W(d, id));
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void Click(CNetCfgDlg& d, int id) { QTest::mouseClick(W(d, id), Qt::LeftButton); }

    RecordingOwner owner;
};

TEST_F(NetCfgDialogTest, OpensWithTheCamerasSettingsAndFixedCredentials) {
    Run([&](CNetCfgDlg& d) {
        EXPECT_EQ(d.IpAddress(res::kIdcIpAddress).GetFields(), (std::array<int, 4>{10, 0, 0, 5}));
        EXPECT_EQ(d.IpAddress(res::kIdcMask).GetFields(), (std::array<int, 4>{255, 255, 255, 0}));
        EXPECT_EQ(d.IpAddress(res::kIdcDns).GetFields(), (std::array<int, 4>{255, 255, 255, 255}))
            << "a text that is not an address shows as 255.255.255.255";
        EXPECT_EQ(d.GetDlgItemText(res::kIdcHttpPort), "80");
        EXPECT_EQ(d.GetDlgItemText(res::kIdcUser), "admin");
        EXPECT_EQ(d.GetDlgItemText(res::kIdcPassword), "");
        EXPECT_EQ(d.GetCheck(res::kIdcDhcp), 0);
        EXPECT_TRUE(d.IsItemEnabled(res::kIdcIpAddress));
        EXPECT_EQ(d.GetDlgItemText(res::kIdcLabelDns), "DNS ");
        EXPECT_EQ(d.GetWindowText(), "Network Setting");
        d.EndDialog(ui::kIdCancel);
    });
    EXPECT_TRUE(owner.records.empty());
}

TEST_F(NetCfgDialogTest, TextsPerLanguage) {
    const struct {
        int language;
        const char* dhcp;
        const char* title;
    } cases[] = {
        {3, "Automatische IP-Einstellungen erhalten", "Netzwerkkonfiguration"},
        {4, "DHCP", "Ustawienia sieci"},
        {1, "\xD7\xD4\x84\xD3\xAB\x40\xC8\xA1 IP \xD4\x4F\xB6\xA8", "\xBE\x57\xBD\x6A\xD4\x4F\xB6\xA8"},
        {7, "\xD7\xD4\xB6\xAF\xBB\xF1\xC8\xA1 IP \xC9\xE8\xD6\xC3", "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3"}, // template
    };
    for (const auto& c : cases)
        Run(
            [&](CNetCfgDlg& d) {
                EXPECT_EQ(d.GetDlgItemText(res::kIdcDhcp), c.dhcp) << c.language;
                EXPECT_EQ(d.GetWindowText(), c.title) << c.language;
                d.EndDialog(ui::kIdCancel);
            },
            0, c.language);
}

TEST_F(NetCfgDialogTest, DhcpBoxDisablesTheAddresses) {
    Run(
        [&](CNetCfgDlg& d) {
            EXPECT_EQ(d.GetCheck(res::kIdcDhcp), 1);
            for (int id : {res::kIdcIpAddress, res::kIdcMask, res::kIdcGateway, res::kIdcDns})
                EXPECT_FALSE(d.IsItemEnabled(id));
            Click(d, res::kIdcDhcp);
            for (int id : {res::kIdcIpAddress, res::kIdcMask, res::kIdcGateway, res::kIdcDns})
                EXPECT_TRUE(d.IsItemEnabled(id));
            EXPECT_TRUE(d.IsItemEnabled(res::kIdcHttpPort));
            Click(d, res::kIdcDhcp);
            EXPECT_FALSE(d.IsItemEnabled(res::kIdcGateway));
            Click(d, res::kIdcNetOk); // OK with the box ticked still sends the shown addresses
        },
        1);
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(owner.records[0].bDhcp, 1);
    EXPECT_EQ(FieldText(owner.records[0].szIp), "10.0.0.5");
}

TEST_F(NetCfgDialogTest, OkHandsTheEditedRecordToTheOwner) {
    Run([&](CNetCfgDlg& d) {
        d.IpAddress(res::kIdcIpAddress).SetFieldText(3, "77");
        d.IpAddress(res::kIdcGateway).SetFieldText(2, "");
        Type(d, res::kIdcHttpPort, "70000");
        Type(d, res::kIdcUser, "operator");
        Type(d, res::kIdcPassword, "pw");
        Click(d, res::kIdcNetOk);
    });
    ASSERT_EQ(owner.records.size(), 1u);
    const CameraInfo& r = owner.records[0];
    EXPECT_EQ(owner.rows[0], 4);
    EXPECT_EQ(FieldText(r.szIp), "10.0.0.77");
    EXPECT_EQ(FieldText(r.szGateway), "10.0.0.1") << "a blank field reads 0";
    EXPECT_EQ(FieldText(r.szDns), "255.255.255.255");
    EXPECT_EQ(HttpPort(r), 4464) << "70000 keeps its low 16 bits";
    EXPECT_EQ(FieldText(r.szUser), "operator");
    EXPECT_EQ(FieldText(r.szPassword), "pw");
    EXPECT_EQ(r.bDhcp, 0);
    EXPECT_EQ(FieldText(r.szName), "") << "fields the dialog does not edit stay zero";
}

TEST_F(NetCfgDialogTest, BlankFieldsAndEmptyPortGiveZero) {
    Run([&](CNetCfgDlg& d) {
        for (int f = 0; f < 4; ++f)
            d.IpAddress(res::kIdcIpAddress).SetFieldText(f, "");
        Type(d, res::kIdcHttpPort, "");
        Click(d, res::kIdcNetOk);
    });
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(FieldText(owner.records[0].szIp), "0.0.0.0");
    EXPECT_EQ(HttpPort(owner.records[0]), 0);
}

TEST_F(NetCfgDialogTest, CredentialsNeverOverrunTheirFields) {
    Run([&](CNetCfgDlg& d) {
        Type(d, res::kIdcUser, QString(40, 'u'));
        Type(d, res::kIdcPassword, QString(40, 'p'));
        Click(d, res::kIdcNetOk);
    });
    ASSERT_EQ(owner.records.size(), 1u);
    EXPECT_EQ(FieldText(owner.records[0].szUser), std::string(31, 'u'));
    EXPECT_EQ(FieldText(owner.records[0].szPassword), std::string(31, 'p'));
    EXPECT_EQ(owner.records[0].szUser[31], 0);
}

TEST_F(NetCfgDialogTest, CancelEscapeEnterAndCloseBoxApplyNothing) {
    const std::function<void(CNetCfgDlg&)> ways[] = {
        [&](CNetCfgDlg& d) { Click(d, res::kIdcNetCancel); },
        [&](CNetCfgDlg& d) { QTest::keyClick(ui::WidgetOf(d), Qt::Key_Escape); },
        [&](CNetCfgDlg& d) { QTest::keyClick(W(d, res::kIdcUser), Qt::Key_Return); },
        [&](CNetCfgDlg& d) { d.SendSysCommand(ui::kScClose); },
    };
    for (const auto& way : ways) {
        Run([&](CNetCfgDlg& d) {
            Type(d, res::kIdcHttpPort, "81");
            way(d);
        });
    }
    EXPECT_TRUE(owner.records.empty());
}

class BaseParamDialogTest : public ::testing::Test {
protected:
    void TearDown() override { ui::SetModalHook({}); }
};

TEST_F(BaseParamDialogTest, ShowsVersionsInEachLanguage) {
    const struct {
        int language;
        const char* label;
        const char* ok;
        const char* title;
    } cases[] = {
        {0, "System Version", "OK", "Basic Infomation"},
        {2, "\xCF\xB5\xCD\xB3\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", "\xC8\xB7\xB6\xA8", "\xBB\xF9\xB1\xBE\xCA\xF4\xD0\xD4"},
        {3, "Systemversion", "OK", "Grundlegende Eigenschaften"},
        {4, "Wersja systemu", "OK", "Informacje"},
    };
    for (const auto& c : cases) {
        CBaseParamDlg dlg(nullptr);
        std::snprintf(dlg.m_szSysVersion, sizeof dlg.m_szSysVersion, "67.1.61.0");
        std::snprintf(dlg.m_szAppVersion, sizeof dlg.m_szAppVersion, "2.200.0.3");
        dlg.m_nLanguage = c.language;
        bool shown = false;
        ui::SetModalHook([&](ui::Dialog& d) {
            shown = true;
            EXPECT_EQ(d.GetDlgItemText(res::kIdcSysVersion), "67.1.61.0");
            EXPECT_EQ(d.GetDlgItemText(res::kIdcAppVersion), "2.200.0.3");
            EXPECT_EQ(d.GetDlgItemText(res::kIdcSysVersionLabel), c.label);
            EXPECT_EQ(d.GetDlgItemText(res::kIdcBaseOk), c.ok);
            EXPECT_EQ(d.GetWindowText(), c.title);
            QTest::mouseClick(ui::ItemWidgetOf(d, res::kIdcBaseOk), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.DoModal(), ui::kIdCancel) << "OK posts a close request";
        EXPECT_TRUE(shown);
    }
}

} // namespace
