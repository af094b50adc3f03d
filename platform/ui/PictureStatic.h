#pragma once

#include <QPixmap>
#include <QWidget>

namespace ui {

// The widget behind a static bitmap or icon: the picture, drawn the same whether the control is
// enabled or not (a static picture is never greyed out).
class PictureStatic : public QWidget {
    Q_OBJECT
  public:
    PictureStatic(QWidget* parent, QPixmap picture);
    const QPixmap& Picture() const { return m_picture; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap m_picture;
};

} // namespace ui
