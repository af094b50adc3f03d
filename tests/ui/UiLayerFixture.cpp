#include "tests/ui/UiLayerFixture.h"

#include <cstdlib>
#include <memory>
#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/ui/Application.h"
#include "platform/ui/Image.h"
#include "platform/ui/Menu.h"

namespace uitest {
namespace {

ui::Image Solid(int width, int height, std::uint32_t argb) {
    return ui::Image{width, height,
                     std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), argb)};
}

} // namespace

ui::DialogTemplate SampleTemplate(const SampleOptions& options) {
    using namespace ui::style;
    using ui::ControlKind;
    ui::DialogTemplate tpl;
    tpl.id = options.id;
    tpl.cx = 200;
    tpl.cy = 140;
    tpl.fontName = "MS Shell Dlg";
    tpl.pointSize = 8;
    tpl.style = kPopup | kCaption | kSysMenu | options.windowStyle;
    tpl.title = "\xC9\xE3\xCF\xF1\xBB\xFA"; // "摄像机"
    const std::uint32_t go = kVisible | kTabStop | (options.defaultButton ? kDefPushButton : 0) |
                             (options.defaultDisabled ? kDisabled : 0);
    tpl.controls = {
        {kLabel, ControlKind::Static, 7, 7, 60, 8, kVisible, "Name &label", 0},
        {kRightLabel, ControlKind::Static, 70, 7, 60, 12, kVisible | kRightAlign | kSunken | kNoPrefix,
         "A&&B", 0},
        {kNumberEdit, ControlKind::Edit, 7, 20, 50, 12,
         kVisible | kNumber | kAutoHScroll | kBorder | kTabStop, "", 0},
        {kPasswordEdit, ControlKind::Edit, 60, 20, 50, 12, kVisible | kPassword | kBorder | kTabStop, "", 0},
        {kCheck, ControlKind::CheckBox, 7, 35, 100, 10, kVisible | kTabStop, "&Check", 0},
        {kCombo, ControlKind::ComboBox, 7, 48, 60, 80, kVisible | kDropDownList | kVScroll | kTabStop, "", 0},
        {kList, ControlKind::ListView, 70, 48, 120, 50, kVisible | kTabStop | kClientEdge, "", 0},
        {kIp, ControlKind::IpAddress, 7, 102, 100, 11, kVisible | kTabStop, "", 0},
        {-1, ControlKind::GroupBox, 3, 98, 110, 18, kVisible, "", 0},
        {kGo, ControlKind::PushButton, 120, 118, 35, 14, go, "Go", 0},
        {kOther, ControlKind::PushButton, 158, 118, 35, 14, kVisible | kTabStop, "Other", 0},
        {kHidden, ControlKind::PushButton, 7, 118, 35, 14, kDisabled | kTabStop, "Hidden", 0},
        {kBitmap, ControlKind::Bitmap, 135, 20, 40, 20, kVisible | kDisabled, "", kBitmapImage},
        {kIcon, ControlKind::Icon, 180, 20, 20, 20, kVisible, "", kIconImage},
    };
    return tpl;
}

RecordingDialog::RecordingDialog(const ui::DialogTemplate& tpl, ui::Dialog* parent)
    : ui::Dialog(tpl, parent) {
    OnClicked(kGo, [this] { calls.push_back("Go"); });
    OnClicked(kOther, [this] { calls.push_back("Other"); });
}

bool RecordingDialog::OnInitDialog() {
    calls.push_back("Init");
    ui::Dialog::OnInitDialog();
    if (endInInit)
        EndDialog(42);
    return true;
}

void RecordingDialog::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(kNumberEdit, numberText);
    dx.Check(kCheck, check);
    dx.ComboIndex(kCombo, comboIndex);
}

void RecordingDialog::OnOK() {
    calls.push_back("OK");
    if (callBase)
        ui::Dialog::OnOK();
}

void RecordingDialog::OnCancel() {
    calls.push_back("Cancel");
    if (callBase)
        ui::Dialog::OnCancel();
}

void RecordingDialog::OnClose() {
    calls.push_back("Close");
    if (callBase)
        ui::Dialog::OnClose();
}

void RecordingDialog::OnSysCommand(unsigned command) {
    calls.push_back("Sys:" + std::to_string(command));
    ui::Dialog::OnSysCommand(command);
}

void UiEnvironment::SetUp() {
    ui::RegisterImage(kBitmapImage, Solid(30, 12, 0xFFCC2020));
    ui::RegisterImage(kIconImage, Solid(64, 64, 0xFF2040CC));
}

QWidget* FocusTarget(ui::Dialog& dialog, int id) {
    QWidget* widget = ui::ItemWidgetOf(dialog, id);
    return widget != nullptr && widget->focusProxy() != nullptr ? widget->focusProxy() : widget;
}

void UiTest::TearDown() {
    ui::SetModalHook({});
    ui::SetPopupMenuHook({});
}

// Registered once for the test program.
const ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

} // namespace uitest
