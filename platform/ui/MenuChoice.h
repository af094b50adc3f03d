#pragma once

#include <vector>

#include "platform/ui/Menu.h"

class QWidget;

namespace ui {

// Shows items as a popup menu at (x, y) on the screen, owned by owner, and returns the command the
// user chose, 0 for none. With a popup-menu hook installed, the hook chooses instead; a choice that
// is not an enabled item of the menu counts as none, as a user could not have made it.
int ChoosePopupCommand(QWidget* owner, const std::vector<MenuItem>& items, int x, int y);

} // namespace ui
