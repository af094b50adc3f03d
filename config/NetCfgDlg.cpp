#include "config/NetCfgDlg.h"

#include <cstdio>

#include "i18n/DialogTexts.h"
#include "i18n/MainTexts.h"
#include "platform/host/TextScan.h"
#include "platform/net/InetAddr.h"
#include "res/ResourceIds.h"
#include "res/Templates.h"

namespace {
constexpr int kAddressControls[] = {res::kIdcIpAddress, res::kIdcMask, res::kIdcGateway, res::kIdcDns};

// The texts of the dialog in the order they are set, each with its control (0: the title).
struct TextPlace {
    int id;
    i18n::NetCfgText text;
};
constexpr TextPlace kTextPlaces[] = {
    {res::kIdcDhcp, i18n::NetCfgText::Dhcp},         {res::kIdcLabelIp, i18n::NetCfgText::IpAddr},
    {res::kIdcLabelMask, i18n::NetCfgText::Submask}, {res::kIdcLabelGateway, i18n::NetCfgText::Gateway},
    {res::kIdcLabelDns, i18n::NetCfgText::Dns},      {res::kIdcLabelPort, i18n::NetCfgText::HttpPort},
    {res::kIdcLabelUser, i18n::NetCfgText::User},    {res::kIdcLabelPassword, i18n::NetCfgText::Password},
    {res::kIdcNetOk, i18n::NetCfgText::Ok},          {res::kIdcNetCancel, i18n::NetCfgText::Cancel},
};
} // namespace

CNetCfgDlg::CNetCfgDlg(NetCfgOwner* owner, ui::Dialog* parent)
    : ui::Dialog(res::NetCfgTemplate(), parent), m_owner(owner) {
    OnClicked(res::kIdcNetOk, [this] { OnOkButton(); });
    OnClicked(res::kIdcNetCancel, [this] { OnCancelButton(); });
    OnClicked(res::kIdcDhcp, [this] { OnDhcpToggle(); });
}

void CNetCfgDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Check(res::kIdcDhcp, m_bDhcp);
    dx.Text(res::kIdcHttpPort, m_strPort);
    dx.Text(res::kIdcUser, m_strUser);
    dx.Text(res::kIdcPassword, m_strPassword);
}

bool CNetCfgDlg::OnInitDialog() {
    LimitText(res::kIdcUser, kMaxCredentialChars);
    LimitText(res::kIdcPassword, kMaxCredentialChars);
    ui::Dialog::OnInitDialog();
    const char* texts[] = {m_szIp, m_szMask, m_szGateway, m_szDns};
    for (int i = 0; i < 4; ++i)
        IpAddress(kAddressControls[i]).SetAddress(net::InetAddr(texts[i]));
    if (m_bDhcp == 1)
        EnableAddressControls(false);
    UpdateData(false);
    if (m_nLanguage >= 0 && m_nLanguage < i18n::kLanguageCount) {
        for (const TextPlace& place : kTextPlaces)
            SetDlgItemText(place.id, i18n::NetCfgString(m_nLanguage, place.text));
        SetWindowText(i18n::NetCfgString(m_nLanguage, i18n::NetCfgText::Title));
    }
    return true;
}

void CNetCfgDlg::EnableAddressControls(bool enable) {
    for (int id : kAddressControls)
        EnableItem(id, enable);
}

void CNetCfgDlg::OnDhcpToggle() {
    UpdateData(true);
    EnableAddressControls(m_bDhcp != 1);
}

void CNetCfgDlg::OnOkButton() {
    UpdateData(true);
    CameraInfo record = ZeroCameraInfo();
    char* fields[] = {record.szIp, record.szMask, record.szGateway, record.szDns};
    for (int i = 0; i < 4; ++i) {
        const std::array<int, 4> f = IpAddress(kAddressControls[i]).GetFields();
        char text[16];
        std::snprintf(text, sizeof text, "%d.%d.%d.%d", f[0], f[1], f[2], f[3]);
        SetFieldText(fields[i], sizeof record.szIp, text);
    }
    // The edits hold at most 31 characters; cutting here as well keeps a NUL in the field whatever
    // reached the member.
    SetFieldText(record.szUser, m_strUser);
    SetFieldText(record.szPassword, m_strPassword);
    SetHttpPort(record, static_cast<std::uint16_t>(host::ScanIntLowBits(m_strPort) & 0xFFFFU));
    record.bDhcp = static_cast<std::uint8_t>(m_bDhcp);
    m_owner->ApplyNetworkSettings(record, m_nRow);
    PostClose();
}

void CNetCfgDlg::OnCancelButton() { PostClose(); }
