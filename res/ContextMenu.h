#pragma once

#include "platform/ui/Menu.h"

namespace res {

// Menu 129: the camera list's popup ("右键菜单") with its five template items. The window replaces
// every text from its text table before showing it.
ui::PopupMenu ContextMenu();

} // namespace res
