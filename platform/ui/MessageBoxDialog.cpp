#include "platform/ui/MessageBoxDialog.h"

#include <algorithm>

#include <QFontMetrics>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"

namespace ui {
namespace {

constexpr char kFace[] = "MS Shell Dlg";
constexpr int kPointSize = 9;
// Layout in dialog units.
constexpr int kMargin = 10;
constexpr int kGap = 8;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kMaxTextWidth = 280;
constexpr char kOkText[] = "OK";

DialogTemplate MessageBoxTemplate(const std::string& text, const std::string& caption) {
    const QFont font = DialogFont(kFace, kPointSize);
    const DialogUnits units(font);
    const QRect bounds = QFontMetrics(font).boundingRect(QRect(0, 0, units.X(kMaxTextWidth), 1 << 20),
                                                         Qt::TextWordWrap | Qt::TextExpandTabs, ToQt(text));
    const int textWidth = std::max(units.UnitsX(bounds.width()), 1);
    const int textHeight = std::max(units.UnitsY(bounds.height()), 8);
    const int width = std::max(textWidth, kButtonWidth) + 2 * kMargin;

    DialogTemplate tpl;
    tpl.cx = width;
    tpl.cy = kMargin + textHeight + kGap + kButtonHeight + kGap;
    tpl.fontName = kFace;
    tpl.pointSize = kPointSize;
    tpl.style = style::kPopup | style::kCaption | style::kSysMenu | style::kModalFrame;
    tpl.title = caption;
    tpl.controls.push_back({-1, ControlKind::Static, kMargin, kMargin, textWidth, textHeight,
                            style::kVisible | style::kNoPrefix, text, 0});
    tpl.controls.push_back({kIdOk, ControlKind::PushButton, (width - kButtonWidth) / 2,
                            kMargin + textHeight + kGap, kButtonWidth, kButtonHeight,
                            style::kVisible | style::kTabStop | style::kDefPushButton, kOkText, 0});
    return tpl;
}

} // namespace

MessageBoxDialog::MessageBoxDialog(Dialog* owner, const std::string& text, const std::string& caption)
    : Dialog(MessageBoxTemplate(text, caption), owner) {}

} // namespace ui
