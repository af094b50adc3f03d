#include "platform/ui/PictureStatic.h"

#include <QPainter>

namespace ui {

PictureStatic::PictureStatic(QWidget* parent, QPixmap picture)
    : QWidget(parent), m_picture(std::move(picture)) {
    setFocusPolicy(Qt::NoFocus);
}

void PictureStatic::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_picture);
}

} // namespace ui
