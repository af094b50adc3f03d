#include "platform/ui/QtAccess.h"

#include "platform/ui/DialogImpl.h"
#include "platform/ui/DialogWindow.h"

namespace ui {

QWidget* WidgetOf(Dialog& dialog) {
    return ImplOf(dialog)->window.data();
}

QWidget* ItemWidgetOf(Dialog& dialog, int id) {
    const ControlState* state = ImplOf(dialog)->Find(id);
    return state != nullptr ? state->widget.data() : nullptr;
}

} // namespace ui
