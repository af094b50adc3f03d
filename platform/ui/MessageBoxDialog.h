#pragma once

#include <string>

#include "platform/ui/Dialog.h"

namespace ui {

// The message box: a dialog of its own, sized to its text, with one OK button that Enter clicks.
// Being a Dialog, it takes the modal hook like every other modal window.
class MessageBoxDialog : public Dialog {
  public:
    MessageBoxDialog(Dialog* owner, const std::string& text, const std::string& caption);
};

} // namespace ui
