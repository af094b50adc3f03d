#pragma once

#include "platform/ui/Dialog.h"

// The About box: icon and version. No buttons: the close box or Escape ends it.
class CAboutDlg : public ui::Dialog {
public:
    explicit CAboutDlg(ui::Dialog* parent);
};
