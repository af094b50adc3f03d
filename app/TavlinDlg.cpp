#include "app/TavlinDlg.h"

#include <bitset>
#include <cstdio>
#include <cstring>

#include "app/AboutDlg.h"
#include "cameras/CameraRules.h"
#include "config/ApplySettings.h"
#include "config/BaseParamDlg.h"
#include "config/IpMatch.h"
#include "config/NetCfgDlg.h"
#include "i18n/LanguageSetting.h"
#include "platform/host/SettingsPath.h"
#include "platform/host/Shell.h"
#include "res/ContextMenu.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "search/DhSearcher.h"
#include "search/MoiCodec.h"
#include "search/MoiSearcher.h"

namespace {

constexpr const char* kSettingsFile = "sys.ini";
constexpr const char* kLanguageLabelTemplateText = "\xD3\xEF\xD1\xD4"; // "语言"
constexpr std::uint16_t kDhSearchReply = 0x0801;

struct ColumnSpec {
    int width;
    int textSlot;
};
// Column 0 model, 1 name, 2 address, 3 P2P identifier.
constexpr ColumnSpec kColumns[] = {
    {60, i18n::kSlotColumnModel},
    {120, i18n::kSlotColumnName},
    {200, i18n::kSlotColumnAddress},
    {200, i18n::kSlotColumnP2pId},
};

struct MenuSpec {
    int command;
    int textSlot;
};
constexpr MenuSpec kMenuItems[] = {
    {res::kIdmBasicInfo, i18n::kSlotMenuBasicInfo},   {res::kIdmNetworkSetting, i18n::kSlotMenuNetworkSetting},
    {res::kIdmRefresh, i18n::kSlotMenuRefresh},       {res::kIdmClearArp, i18n::kSlotMenuClearArp},
    {res::kIdmAbout, i18n::kSlotMenuAbout},
};

} // namespace

CTavlinDlg::CTavlinDlg(std::string exeDir)
    : ui::Dialog(res::MainTemplate(), nullptr), m_exeDir(std::move(exeDir)),
      m_strLanguageLabel(kLanguageLabelTemplateText) {
    if (m_exeDir.empty())
        m_exeDir = host::ExecutableDirectory();
    OnClicked(res::kIdcRefresh, [this] { OnRefresh(); });
    OnDblClk(res::kIdcCameraList, [this] { OnDblClkCameraList(); });
    OnRClick(res::kIdcCameraList, [this] { OnRClickCameraList(); });
    OnCommand(res::kIdmBasicInfo, [this] { OnBasicInfo(); });
    OnCommand(res::kIdmNetworkSetting, [this] { OnNetworkSetting(); });
    OnCommand(res::kIdmRefresh, [this] { OnRefresh(); });
    OnCommand(res::kIdmClearArp, [this] { OnClearArpBuffer(); });
    OnCommand(res::kIdmAbout, [this] { OnAbout(); });
    OnSelChange(res::kIdcLanguageCombo, [this] { OnLanguageChange(); });
    OnClicked(res::kIdcIpMatch, [this] { OnIpMatch(); });
}

CTavlinDlg::~CTavlinDlg() {
    // Whatever way the window ended, no receiver may run once the list is gone.
    StopSearchers();
    if (m_cameraList)
        m_cameraList->Clear();
}

void CTavlinDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.ComboIndex(res::kIdcLanguageCombo, m_nLanguage);
    dx.Text(res::kIdcLanguageLabel, m_strLanguageLabel);
}

bool CTavlinDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();

    const std::string aboutText = res::LoadString(res::kIdsAboutBox);
    if (HasSystemMenu() && !aboutText.empty()) {
        AppendSystemMenuSeparator();
        AppendSystemMenuItem(res::kIdmAboutBox, aboutText);
    }
    SetIcon(res::kIdrMainFrame, true);
    SetIcon(res::kIdrMainFrame, false);

    m_settingsPath = host::ResolveSettingsFile(m_exeDir, kSettingsFile);
    m_nLanguage = i18n::ReadLanguageIndex(m_settingsPath);
    LoadTexts(m_nLanguage);

    ui::ListView list = List(res::kIdcCameraList);
    std::uint32_t style = list.GetStyle();
    style &= ~(ui::ListView::kViewMask | ui::ListView::kEditLabels);
    style |= ui::ListView::kReport | ui::ListView::kShowSelAlways | ui::ListView::kNoLabelWrap;
    list.SetStyle(style);
    list.SetExtendedStyle(ui::ListView::kFullRowSelect, ui::ListView::kFullRowSelect);
    for (int i = 0; i < 4; ++i)
        list.InsertColumn(i, m_szTexts[kColumns[i].textSlot], kColumns[i].width);

    ui::ComboBox combo = Combo(res::kIdcLanguageCombo);
    for (int i = 0; i < i18n::kLanguageCount; ++i)
        combo.AddString(i18n::LanguageName(i));
    combo.SetCurSel(m_nLanguage);

    SetControlTexts();

    m_cameraList = std::make_unique<CameraList>(
        list, CameraList::Hooks{[this](std::function<void()> fn) { PostToUiThread(std::move(fn)); },
                                [this] { return std::string(m_szTexts[i18n::kSlotSubnetMismatch]); },
                                [](const CameraInfo& info) { return SubnetMatchOnHost(info); }});

    m_pDhSearcher = std::make_unique<CDhSearcher>();
    m_pDhSearcher->m_callback = &CTavlinDlg::OnDhSearchReply;
    m_pDhSearcher->m_context = this;
    m_pDhSearcher->Init();

    m_pMoiSearcher = std::make_unique<CMoiSearcher>();
    m_pMoiSearcher->m_callback = &CTavlinDlg::OnMoiSearchReply;
    m_pMoiSearcher->m_context = this;
    m_pMoiSearcher->Init();

    m_pDhSearcher->SendSearch();
    m_pMoiSearcher->SendSearch();
    return true;
}

void CTavlinDlg::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0) == res::kIdmAboutBox) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    ui::Dialog::OnSysCommand(command);
}

void CTavlinDlg::StopSearchers() {
    m_pDhSearcher.reset();
    m_pMoiSearcher.reset();
}

void CTavlinDlg::OnClose() {
    StopSearchers();
    ClearCameraList();
    ui::Dialog::OnClose();
}

void CTavlinDlg::OnCancel() {
    // Escape ends the window without the close sequence; the searchers still stop first, and the
    // rows' records are freed.
    StopSearchers();
    ClearCameraList();
    ui::Dialog::OnCancel();
}

int CTavlinDlg::OnDhSearchReply(std::uint32_t code, std::int32_t, const std::uint8_t* payload, void* context,
                                std::int32_t slot) {
    if ((code & 0xFFFF) != kDhSearchReply)
        return 0;
    // The receiver's buffer holds a full record after the header; bytes past the datagram are zero.
    CameraInfo info;
    std::memcpy(&info, payload, sizeof info);
    static_cast<CTavlinDlg*>(context)->AddCamera(info, slot, 1);
    return 0;
}

int CTavlinDlg::OnMoiSearchReply(std::uint32_t, std::int32_t, const std::uint8_t* payload, void* context,
                                 std::int32_t slot) {
    static_cast<CTavlinDlg*>(context)->AddCamera(DecodeMoiSearchReply(payload), slot, 0);
    return 0;
}

void CTavlinDlg::AddCamera(const CameraInfo& info, int slot, int dhProtocol) {
    m_cameraList->Submit(info, slot, dhProtocol);
}

void CTavlinDlg::ClearCameraList() {
    if (m_cameraList)
        m_cameraList->Clear();
}

void CTavlinDlg::SearchAgain() {
    ClearCameraList();
    if (m_pDhSearcher)
        m_pDhSearcher->SendSearch();
    if (m_pMoiSearcher)
        m_pMoiSearcher->SendSearch();
}

void CTavlinDlg::LoadTexts(int language) {
    std::memset(m_szTexts, 0, sizeof m_szTexts);
    if (language < 0 || language >= i18n::kLanguageCount)
        return;
    for (int slot = 0; slot < i18n::kTextSlots; ++slot)
        std::snprintf(m_szTexts[slot], i18n::kTextSlotSize, "%s", i18n::MainText(language, slot));
}

// The language label, the two buttons and the title, from the text table.
void CTavlinDlg::SetControlTexts() {
    SetDlgItemText(res::kIdcLanguageLabel, m_szTexts[i18n::kSlotLanguageLabel]);
    SetDlgItemText(res::kIdcRefresh, m_szTexts[i18n::kSlotRefresh]);
    SetDlgItemText(res::kIdcIpMatch, m_szTexts[i18n::kSlotIpMatch]);
    SetWindowText(m_szTexts[i18n::kSlotTitle]);
}

void CTavlinDlg::ApplyLanguage() {
    ui::ListView list = List(res::kIdcCameraList);
    for (int i = 0; i < 4; ++i)
        list.SetColumnText(i, m_szTexts[kColumns[i].textSlot]);
    SetControlTexts();
    SearchAgain();
}

void CTavlinDlg::OnLanguageChange() {
    UpdateData(true);
    LoadTexts(m_nLanguage);
    ApplyLanguage();
    i18n::StoreLanguageIndex(m_settingsPath, m_nLanguage);
}

CameraItem* CTavlinDlg::SelectedItem() const {
    if (!m_cameraList)
        return nullptr;
    return m_cameraList->Item(m_cameraList->FirstSelectedRow());
}

void CTavlinDlg::OnDblClkCameraList() {
    const CameraItem* item = SelectedItem();
    if (item == nullptr)
        return;
    char url[256];
    std::snprintf(url, sizeof url, "http://%s:%u", std::string(FieldText(item->info.szIp)).c_str(),
                  static_cast<unsigned>(HttpPort(item->info)));
    host::ShellOpen(url);
}

void CTavlinDlg::OnRClickCameraList() {
    ui::PopupMenu menu = res::ContextMenu();
    for (std::size_t pos = 0; pos < std::size(kMenuItems); ++pos)
        menu.ModifyItem(pos, kMenuItems[pos].command, m_szTexts[kMenuItems[pos].textSlot]);
    if (SelectedItem() == nullptr) {
        menu.DeleteItem(0);
        menu.DeleteItem(0);
    }
    int x = 0, y = 0;
    ui::GetCursorPos(x, y);
    TrackPopupMenu(menu, x, y);
}

void CTavlinDlg::OnRefresh() { SearchAgain(); }

void CTavlinDlg::OnClearArpBuffer() { host::RunCommand("arp -d"); }

void CTavlinDlg::OnAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

void CTavlinDlg::OnBasicInfo() {
    const CameraItem* item = SelectedItem();
    if (item == nullptr)
        return;
    CBaseParamDlg dlg(this);
    std::snprintf(dlg.m_szSysVersion, sizeof dlg.m_szSysVersion, "%s",
                  std::string(FieldText(item->info.szSysVersion)).c_str());
    std::snprintf(dlg.m_szAppVersion, sizeof dlg.m_szAppVersion, "%s",
                  std::string(FieldText(item->info.szAppVersion)).c_str());
    dlg.m_nLanguage = m_nLanguage;
    dlg.DoModal();
}

void CTavlinDlg::OnNetworkSetting() {
    const int row = m_cameraList ? m_cameraList->FirstSelectedRow() : -1;
    const CameraItem* item = m_cameraList ? m_cameraList->Item(row) : nullptr;
    if (item == nullptr)
        return;
    CNetCfgDlg dlg(this, this);
    dlg.m_bDhcp = item->info.bDhcp != 0 ? 1 : 0;
    const struct {
        char* out;
        std::string_view text;
    } addresses[] = {{dlg.m_szIp, FieldText(item->info.szIp)},
                     {dlg.m_szMask, FieldText(item->info.szMask)},
                     {dlg.m_szGateway, FieldText(item->info.szGateway)},
                     {dlg.m_szDns, FieldText(item->info.szDns)}};
    for (const auto& a : addresses)
        std::snprintf(a.out, sizeof dlg.m_szIp, "%.*s", static_cast<int>(a.text.size()), a.text.data());
    dlg.m_strPort = std::to_string(HttpPort(item->info));
    dlg.m_nRow = row;
    dlg.m_nLanguage = m_nLanguage;
    dlg.DoModal();
}

void CTavlinDlg::SendToCamera(const CameraItem& item) {
    // A change goes back by the protocol that found the camera, on the slot whose interface it answered.
    if (item.bDhProtocol != 0) {
        if (m_pDhSearcher)
            m_pDhSearcher->SendSet(item.info, item.nSlot);
    } else if (m_pMoiSearcher) {
        m_pMoiSearcher->SendSetNetwork(item.info, item.nSlot);
    }
}

void CTavlinDlg::ApplyNetworkSettings(CameraInfo record, int row) {
    CameraItem* item = m_cameraList ? m_cameraList->Item(row) : nullptr;
    if (item == nullptr)
        return;
    {
        // Receivers compare addresses of listed cameras under this lock: rewrite and send under it.
        std::lock_guard<std::mutex> guard(m_cameraList->Lock());
        ApplyEditedFields(item->info, record);
        SendToCamera(*item);
    }
    SearchAgain();
}

void CTavlinDlg::OnIpMatch() {
    CameraItem* camera = SelectedItem();
    if (camera == nullptr)
        return;

    const net::IpAddrTable* table = nullptr;
    std::uint32_t tableRow = 0;
    const bool slotValid = camera->nSlot >= 0 && camera->nSlot < 5;
    if (camera->bDhProtocol != 0 && m_pDhSearcher) {
        table = m_pDhSearcher->m_addrTable.get();
        tableRow = slotValid ? m_pDhSearcher->m_rowIndex[static_cast<std::size_t>(camera->nSlot)] : 0;
    } else if (camera->bDhProtocol == 0 && m_pMoiSearcher) {
        table = m_pMoiSearcher->m_addrTable.get();
        tableRow = slotValid ? m_pMoiSearcher->m_rowIndex[static_cast<std::size_t>(camera->nSlot)] : 0;
    }
    const LocalNetwork local = LocalNetworkOf(table, tableRow);
    std::memcpy(m_localAddr, local.address.data(), 4);
    std::memcpy(m_localMask, local.netmask.data(), 4);

    {
        std::lock_guard<std::mutex> guard(m_cameraList->Lock());
        TakenHostNumbers taken;
        for (int row = 0; row < m_cameraList->RowCount(); ++row) {
            const CameraItem* item = m_cameraList->Item(row);
            int host = 0;
            if (item != nullptr && item->bSubnetMatch != 0 && HostNumberOf(FieldText(item->info.szIp), host))
                taken.set(static_cast<std::size_t>(host));
        }
        taken.set(local.address[3]);

        const int host = camera->bSubnetMatch != 0 ? -1 : ChooseHostNumber(taken);
        if (host >= 0) {
            RewriteForIpMatch(camera->info, local, host);
            SendToCamera(*camera);
        }
    }
    SearchAgain();
}
