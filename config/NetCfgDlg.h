#pragma once

#include <string>

#include "config/NetCfgOwner.h"
#include "platform/ui/Dialog.h"

// The network-setting dialog: DHCP, four addresses, HTTP port, user and password of one camera.
// OK builds the edited record and hands it to the owner's ApplyNetworkSettings; nothing else sends.
class CNetCfgDlg : public ui::Dialog {
public:
    // User and password fields of the record hold 31 characters and a NUL: the edits take no more.
    static constexpr int kMaxCredentialChars = 31;

    CNetCfgDlg(NetCfgOwner* owner, ui::Dialog* parent);

    int m_bDhcp = 0;
    std::string m_strPort;
    std::string m_strUser = "admin";
    std::string m_strPassword;
    char m_szIp[64] = {};
    char m_szMask[64] = {};
    char m_szGateway[64] = {};
    char m_szDns[64] = {};
    int m_nRow = 0;
    int m_nLanguage = 0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;

private:
    void OnOkButton();
    void OnCancelButton();
    void OnDhcpToggle();
    void EnableAddressControls(bool enable);

    NetCfgOwner* m_owner;
};
