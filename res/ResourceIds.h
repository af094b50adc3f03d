#pragma once

// Resource and control numbers. They name controls in templates and handlers; never renumber.
namespace res {

inline constexpr int kIdrMainFrame = 128;   // application icon
inline constexpr int kIdbBanner = 136;      // banner bitmap at the top of the main window
inline constexpr int kIdsAboutBox = 101;    // window-menu entry
inline constexpr int kIdsSocketsInitFailed = 103;
inline constexpr int kIdmContextMenu = 129;

inline constexpr int kIddAboutBox = 100;
inline constexpr int kIddMain = 102;
inline constexpr int kIddBaseParam = 130;
inline constexpr int kIddNetCfg = 131;

// Main window.
inline constexpr int kIdcCameraList = 1001;
inline constexpr int kIdcLanguageCombo = 1004;
inline constexpr int kIdcIpMatch = 1005;
inline constexpr int kIdcRefresh = 1006;
inline constexpr int kIdcLanguageLabel = 1014;
inline constexpr int kIdcBanner = 136;

// Basic-information dialog.
inline constexpr int kIdcBaseOk = 1007;
inline constexpr int kIdcSysVersion = 1008;
inline constexpr int kIdcAppVersion = 1009;
inline constexpr int kIdcSysVersionLabel = 1015;
inline constexpr int kIdcAppVersionLabel = 1016;

// Network-setting dialog.
inline constexpr int kIdcDhcp = 1010;
inline constexpr int kIdcIpAddress = 1012;
inline constexpr int kIdcNetOk = 1013;
inline constexpr int kIdcHttpPort = 1015;
inline constexpr int kIdcUser = 1016;
inline constexpr int kIdcPassword = 1017;
inline constexpr int kIdcMask = 1018;
inline constexpr int kIdcGateway = 1019;
inline constexpr int kIdcDns = 1020;
inline constexpr int kIdcNetCancel = 1021;
inline constexpr int kIdcLabelIp = 1022;
inline constexpr int kIdcLabelMask = 1023;
inline constexpr int kIdcLabelGateway = 1024;
inline constexpr int kIdcLabelDns = 1025;
inline constexpr int kIdcLabelPort = 1026;
inline constexpr int kIdcLabelUser = 1027;
inline constexpr int kIdcLabelPassword = 1028;

// Context-menu commands.
inline constexpr int kIdmBasicInfo = 32776;
inline constexpr int kIdmNetworkSetting = 32777;
inline constexpr int kIdmRefresh = 32778;
inline constexpr int kIdmClearArp = 32779;
inline constexpr int kIdmAbout = 32780;

// Window-menu command of the About entry; the low four bits are free for the desktop.
inline constexpr unsigned kIdmAboutBox = 0x0010;

} // namespace res
