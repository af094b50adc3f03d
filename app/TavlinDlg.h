#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cameras/CameraList.h"
#include "config/NetCfgOwner.h"
#include "i18n/MainTexts.h"
#include "platform/ui/Dialog.h"

class CDhSearcher;
class CMoiSearcher;

// The camera list window. Owns the two searchers from initialisation to close, the camera list and
// its lock, the language and the text table, and routes every command.
class CTavlinDlg : public ui::Dialog, public NetCfgOwner {
public:
    // exeDir: the directory taken as the executable's, where sys.ini is looked for first.
    explicit CTavlinDlg(std::string exeDir = {});
    ~CTavlinDlg() override;

    // Reply handlers installed in the searchers; they run on receiver threads with the dialog as context.
    static int OnDhSearchReply(std::uint32_t code, std::int32_t length, const std::uint8_t* payload, void* context,
                               std::int32_t slot);
    static int OnMoiSearchReply(std::uint32_t code, std::int32_t length, const std::uint8_t* payload, void* context,
                                std::int32_t slot);

    // Any thread: hands a decoded reply to the list; the row appears on the UI thread.
    void AddCamera(const CameraInfo& info, int slot, int dhProtocol);
    void ClearCameraList();

    void LoadTexts(int language);
    void ApplyLanguage();
    void ApplyNetworkSettings(CameraInfo record, int row) override;

    // Commands.
    void OnDblClkCameraList();
    void OnRClickCameraList();
    void OnRefresh();
    void OnClearArpBuffer();
    void OnAbout();
    void OnBasicInfo();
    void OnNetworkSetting();
    void OnLanguageChange();
    void OnIpMatch();

    CameraList* Cameras() { return m_cameraList.get(); }
    CDhSearcher* DhSearcher() { return m_pDhSearcher.get(); }
    CMoiSearcher* MoiSearcher() { return m_pMoiSearcher.get(); }
    const std::string& SettingsPath() const { return m_settingsPath; }
    int Language() const { return m_nLanguage; }
    const char* Text(int slot) const { return m_szTexts[slot]; }

    std::uint8_t m_localAddr[4] = {};
    std::uint8_t m_localMask[4] = {};

protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnSysCommand(unsigned command) override;
    void OnClose() override;
    void OnCancel() override;

private:
    void SetControlTexts();
    void SearchAgain();
    void SendToCamera(const CameraItem& item);
    void StopSearchers();
    CameraItem* SelectedItem() const;

    std::string m_exeDir;
    std::unique_ptr<CDhSearcher> m_pDhSearcher;
    std::unique_ptr<CMoiSearcher> m_pMoiSearcher;
    std::unique_ptr<CameraList> m_cameraList;
    int m_nLanguage = 0;
    char m_szTexts[i18n::kTextSlots][i18n::kTextSlotSize] = {};
    std::string m_settingsPath;
    std::string m_strLanguageLabel;
};
