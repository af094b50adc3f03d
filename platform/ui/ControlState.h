#pragma once

#include <cstdint>
#include <string>

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "platform/ui/Controls.h"
#include "platform/ui/DialogTemplate.h"

namespace ui {

// One control of a dialog: what its template says, the widget that stands for it while the window
// exists, and the state the original control keeps beside its picture. A dialog keeps its control
// states, at fixed addresses, for its whole life, so control objects (ListView, ComboBox, ...) that
// the program holds stay valid when the window goes; they then act on no widget.
struct ControlState {
    static constexpr std::uint32_t kInitialListStyle = ListView::kList | ListView::kAlignLeft;

    ControlTemplate tpl;
    QPointer<QWidget> widget;
    std::string text;    // window text as set, for controls whose widget shows it changed ('&' prefixes)
    bool enabled = true; // what the program set; a picture keeps drawing when disabled
    int limitBytes = 0;  // edit: LimitText, 0 for none
    std::uint32_t listStyle = kInitialListStyle;
    std::uint32_t listExStyle = 0;
    int listColumns = 0; // the list widget always has one column; this counts inserted ones
    QRect templateRect{}; // place and size from the template, in pixels

    template <class W> W* As() const { return qobject_cast<W*>(widget.data()); }
};

} // namespace ui
