#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include <gtest/gtest.h>

#include "platform/ui/Dialog.h"
#include "platform/ui/QtAccess.h"
#include "tests/support/UiTestEnv.h"

// The layer's own tests: a sample template with one control of every kind, a dialog that records
// what reaches its handlers, and the window system under the offscreen platform.
namespace uitest {

enum : int {
    kLabel = 100,      // static, left-aligned, '&' prefixes
    kRightLabel = 101, // static, right-aligned, sunken, no prefix
    kNumberEdit = 102,
    kPasswordEdit = 103,
    kCheck = 104,
    kCombo = 105,
    kList = 106,
    kIp = 107,
    kGo = 108,     // the default push button
    kOther = 109,  // a plain push button
    kHidden = 110, // not visible, disabled
    kBitmap = 111,
    kIcon = 112,
};
inline constexpr int kBitmapImage = 900; // 30 x 12
inline constexpr int kIconImage = 901;   // 64 x 64
inline constexpr int kSampleId = 555;

struct SampleOptions {
    std::uint32_t windowStyle; // added to caption and system menu
    bool defaultButton = true;
    bool defaultDisabled = false;
    int id = kSampleId;
};
ui::DialogTemplate SampleTemplate(const SampleOptions& options = {ui::style::kVisible});

// Records the overridable handlers, the clicks of kGo and kOther and the data exchange.
class RecordingDialog : public ui::Dialog {
  public:
    explicit RecordingDialog(const ui::DialogTemplate& tpl, ui::Dialog* parent = nullptr);

    std::vector<std::string> calls;
    bool callBase = true; // let OK, Cancel and Close end the dialog as the layer does by default
    bool endInInit = false;
    std::string numberText;
    int check = 0;
    int comboIndex = -1;

    using ui::Dialog::OnClicked;
    using ui::Dialog::OnCommand;
    using ui::Dialog::OnDblClk;
    using ui::Dialog::OnRClick;
    using ui::Dialog::OnSelChange;

  protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose() override;
    void OnSysCommand(unsigned command) override;
};

// The application object comes from the shared test support; this registers the sample images.
class UiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override;
};

using testenv::ProcessEvents;
using testenv::WaitUntil;

template <class W> W* Item(ui::Dialog& dialog, int id) {
    return qobject_cast<W*>(ui::ItemWidgetOf(dialog, id));
}

// The widget that takes the keyboard for a control (an IP-address control's first field).
QWidget* FocusTarget(ui::Dialog& dialog, int id);

// Clears the layer's test hooks after each test.
class UiTest : public ::testing::Test {
  protected:
    void TearDown() override;
};

} // namespace uitest
