#pragma once

#include <string>

#include "platform/ui/Dialog.h"

// The basic-information dialog: a camera's system and application firmware versions, read-only.
class CBaseParamDlg : public ui::Dialog {
public:
    explicit CBaseParamDlg(ui::Dialog* parent);

    char m_szSysVersion[64] = {};
    char m_szAppVersion[64] = {};
    int m_nLanguage = 0;
    std::string m_strSysVersion;
    std::string m_strAppVersion;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
};
