#include "platform/ui/CheckBox.h"

namespace ui {

bool CheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

} // namespace ui
