#pragma once

#include <QCheckBox>

namespace ui {

// The widget behind a check box. A click anywhere on the control toggles it, as on the original
// platform, not only on the box and its text.
class CheckBox : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

  protected:
    bool hitButton(const QPoint& pos) const override;
};

} // namespace ui
