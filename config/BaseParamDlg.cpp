#include "config/BaseParamDlg.h"

#include "i18n/DialogTexts.h"
#include "i18n/MainTexts.h"
#include "res/ResourceIds.h"
#include "res/Templates.h"

CBaseParamDlg::CBaseParamDlg(ui::Dialog* parent) : ui::Dialog(res::BaseParamTemplate(), parent) {
    OnClicked(res::kIdcBaseOk, [this] { PostClose(); });
}

void CBaseParamDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(res::kIdcSysVersion, m_strSysVersion);
    dx.Text(res::kIdcAppVersion, m_strAppVersion);
}

bool CBaseParamDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    m_strSysVersion = m_szSysVersion;
    m_strAppVersion = m_szAppVersion;
    UpdateData(false);
    if (m_nLanguage >= 0 && m_nLanguage < i18n::kLanguageCount) {
        SetDlgItemText(res::kIdcSysVersionLabel, i18n::BaseParamString(m_nLanguage, i18n::BaseParamText::SysVersion));
        SetDlgItemText(res::kIdcAppVersionLabel, i18n::BaseParamString(m_nLanguage, i18n::BaseParamText::AppVersion));
        SetDlgItemText(res::kIdcBaseOk, i18n::BaseParamString(m_nLanguage, i18n::BaseParamText::Ok));
        SetWindowText(i18n::BaseParamString(m_nLanguage, i18n::BaseParamText::Title));
    }
    return true;
}
