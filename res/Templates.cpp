#include "res/Templates.h"

#include "res/ResourceIds.h"

namespace res {
namespace {

using ui::ControlKind;
using namespace ui::style;

constexpr const char* kShellDlgFont = "MS Shell Dlg";

} // namespace

const ui::DialogTemplate& AboutTemplate() {
    static const ui::DialogTemplate tpl{
        kIddAboutBox, 141, 35, kShellDlgFont, 9, kPopup | kCaption | kSysMenu | kModalFrame, "IP Brenvik",
        {
            {-1, ControlKind::Icon, 14, 4, 20, 20, kVisible, "", kIdrMainFrame},
            {-1, ControlKind::Static, 39, 5, 82, 8, kVisible | kNoPrefix, "Version 13.1.0.1", 0},
        }};
    return tpl;
}

const ui::DialogTemplate& MainTemplate() {
    static const ui::DialogTemplate tpl{
        kIddMain, 351, 195, kShellDlgFont, 9,
        kPopup | kVisible | kCaption | kSysMenu | kMinimizeBox | kModalFrame,
        "IP \xC9\xE3\xCF\xF1\xBB\xFA\xB9\xA4\xBE\xDF", // "IP 摄像机工具"
        {
            {kIdcCameraList, ControlKind::ListView, 7, 29, 337, 144, kVisible | kTabStop | kClientEdge, "", 0},
            {kIdcLanguageCombo, ControlKind::ComboBox, 41, 178, 84, 147, kVisible | kDropDownList | kVScroll | kTabStop,
             "", 0},
            {kIdcLanguageLabel, ControlKind::Static, 7, 182, 31, 8, kVisible, "\xD3\xEF\xD1\xD4", 0}, // "语言"
            {kIdcIpMatch, ControlKind::PushButton, 268, 177, 76, 14, kVisible | kDefPushButton | kTabStop,
             "\xD2\xBB\xBC\xFC\xC6\xA5\xC5\xE4", 0}, // "一键匹配"
            {kIdcBanner, ControlKind::Bitmap, 7, 5, 111, 19, kVisible | kDisabled, "", kIdbBanner},
            {kIdcRefresh, ControlKind::PushButton, 201, 177, 57, 14, kDisabled | kTabStop, "\xCB\xA2\xD0\xC2", 0}, // "刷新"
        }};
    return tpl;
}

const ui::DialogTemplate& BaseParamTemplate() {
    static const ui::DialogTemplate tpl{
        kIddBaseParam, 149, 66, kShellDlgFont, 8, kPopup | kCaption | kSysMenu | kModalFrame,
        "\xBB\xF9\xB1\xBE\xCA\xF4\xD0\xD4", // "基本属性"
        {
            {kIdcSysVersionLabel, ControlKind::Static, 15, 14, 49, 8, kVisible | kGroup,
             "\xCF\xB5\xCD\xB3\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", 0}, // "系统固件版本"
            {kIdcSysVersion, ControlKind::Static, 73, 12, 61, 12, kVisible | kGroup | kSunken, "  1.0.0.1", 0},
            {kIdcAppVersionLabel, ControlKind::Static, 15, 27, 49, 8, kVisible | kGroup,
             "\xD3\xA6\xD3\xC3\xB9\xCC\xBC\xFE\xB0\xE6\xB1\xBE", 0}, // "应用固件版本"
            {kIdcAppVersion, ControlKind::Static, 73, 26, 61, 12, kVisible | kGroup | kSunken, "  1.0.0.1", 0},
            {kIdcBaseOk, ControlKind::PushButton, 73, 42, 54, 14, kVisible | kTabStop, "\xC8\xB7\xB6\xA8", 0}, // "确定"
        }};
    return tpl;
}

const ui::DialogTemplate& NetCfgTemplate() {
    constexpr std::uint32_t kLabel = kVisible | kRightAlign | kGroup;
    constexpr std::uint32_t kEdit = kVisible | kAutoHScroll | kBorder | kTabStop;
    static const ui::DialogTemplate tpl{
        kIddNetCfg, 185, 138, kShellDlgFont, 8, kPopup | kCaption | kSysMenu | kModalFrame,
        "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3", // "网络配置"
        {
            {kIdcDhcp, ControlKind::CheckBox, 11, 0, 137, 14, kVisible | kTabStop,
             "\xD7\xD4\xB6\xAF\xBB\xF1\xC8\xA1 IP \xC9\xE8\xD6\xC3", 0}, // "自动获取 IP 设置"
            {kIdcLabelIp, ControlKind::Static, 13, 19, 51, 8, kLabel, "IP \xB5\xD8\xD6\xB7", 0}, // "IP 地址"
            {kIdcLabelMask, ControlKind::Static, 13, 32, 52, 8, kLabel, "\xD7\xD3\xCD\xF8\xD1\xDA\xC2\xEB", 0}, // "子网掩码"
            {kIdcLabelGateway, ControlKind::Static, 13, 44, 51, 8, kLabel, "\xCD\xF8\xB9\xD8", 0}, // "网关"
            {kIdcLabelDns, ControlKind::Static, 13, 58, 51, 8, kLabel, "DNS \xB7\xFE\xCE\xF1\xC6\xF7", 0}, // "DNS 服务器"
            {kIdcLabelPort, ControlKind::Static, 21, 79, 45, 8, kLabel, "Http \xB6\xCB\xBF\xDA", 0}, // "Http 端口"
            {kIdcLabelUser, ControlKind::Static, 23, 94, 42, 8, kLabel, "\xD3\xC3\xBB\xA7", 0}, // "用户"
            {kIdcLabelPassword, ControlKind::Static, 32, 108, 33, 8, kLabel, "\xC3\xDC\xC2\xEB", 0}, // "密码"
            {kIdcHttpPort, ControlKind::Edit, 69, 76, 43, 12, kEdit | kNumber, "", 0},
            {kIdcUser, ControlKind::Edit, 69, 91, 100, 12, kEdit, "", 0},
            {kIdcPassword, ControlKind::Edit, 69, 105, 100, 12, kEdit | kPassword, "", 0},
            {kIdcIpAddress, ControlKind::IpAddress, 69, 18, 100, 10, kVisible | kTabStop, "", 0},
            {kIdcMask, ControlKind::IpAddress, 69, 30, 100, 11, kVisible | kTabStop, "", 0},
            {kIdcGateway, ControlKind::IpAddress, 69, 43, 100, 11, kVisible | kTabStop, "", 0},
            {kIdcDns, ControlKind::IpAddress, 69, 56, 100, 11, kVisible | kTabStop, "", 0},
            {-1, ControlKind::GroupBox, 9, 11, 168, 63, kVisible, "", 0},
            {kIdcNetOk, ControlKind::PushButton, 69, 120, 45, 13, kVisible | kTabStop, "\xC8\xB7\xB6\xA8", 0}, // "确定"
            {kIdcNetCancel, ControlKind::PushButton, 121, 120, 42, 13, kVisible | kTabStop, "\xC8\xA1\xCF\xFB", 0}, // "取消"
        }};
    return tpl;
}

} // namespace res
