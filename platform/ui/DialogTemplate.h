#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
    Static,
    PushButton,
    CheckBox,
    Edit,
    ComboBox,
    ListView,
    IpAddress,
    GroupBox,
    Bitmap,
    Icon
};

// Style bits of windows and controls. Only what the program's templates use.
namespace style {
inline constexpr std::uint32_t kVisible = 1u << 0;
inline constexpr std::uint32_t kDisabled = 1u << 1;
inline constexpr std::uint32_t kTabStop = 1u << 2;
inline constexpr std::uint32_t kGroup = 1u << 3;
inline constexpr std::uint32_t kDefPushButton = 1u << 4; // Enter clicks this button
inline constexpr std::uint32_t kRightAlign = 1u << 5;    // static text
inline constexpr std::uint32_t kSunken = 1u << 6;        // static with a sunken client edge
inline constexpr std::uint32_t kClientEdge = 1u << 7;
inline constexpr std::uint32_t kNumber = 1u << 8;   // edit: digits only
inline constexpr std::uint32_t kPassword = 1u << 9; // edit: characters hidden
inline constexpr std::uint32_t kAutoHScroll = 1u << 10;
inline constexpr std::uint32_t kBorder = 1u << 11;
inline constexpr std::uint32_t kVScroll = 1u << 12;
inline constexpr std::uint32_t kDropDownList = 1u << 13; // combo: pick only, no typing
inline constexpr std::uint32_t kNoPrefix = 1u << 14;     // static: '&' shown as is
// Dialog window styles.
inline constexpr std::uint32_t kPopup = 1u << 16;
inline constexpr std::uint32_t kCaption = 1u << 17;
inline constexpr std::uint32_t kSysMenu = 1u << 18;
inline constexpr std::uint32_t kMinimizeBox = 1u << 19;
inline constexpr std::uint32_t kModalFrame = 1u << 20;
} // namespace style

// One control of a dialog template. Place and size are in dialog units. Texts are in the window
// code page (GB18030). resourceId names the image of a Bitmap or Icon control.
struct ControlTemplate {
    int id = -1; // -1: no ID
    ControlKind kind = ControlKind::Static;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = style::kVisible;
    std::string text;
    int resourceId = 0;
};

// A dialog described as data: size in dialog units, font, window styles, title and controls in
// template order (which is also the tab order).
struct DialogTemplate {
    int id = 0;
    int cx = 0, cy = 0;
    std::string fontName;
    int pointSize = 8;
    std::uint32_t style = 0;
    std::string title;
    std::vector<ControlTemplate> controls;
};

} // namespace ui
