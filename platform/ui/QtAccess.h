#pragma once

// For tests only: the real widgets behind a dialog, so that Qt's test functions can click and type.
class QWidget;

namespace ui {
class Dialog;
QWidget* WidgetOf(Dialog& dialog);
QWidget* ItemWidgetOf(Dialog& dialog, int id);
} // namespace ui
