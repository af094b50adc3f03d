#pragma once

#include <string>

#include <QFont>
#include <QRect>

namespace ui {

// The font a template names, as it exists here: the Windows dialog faces become DejaVu Sans at the
// template's point size, with WenQuanYi Micro Hei behind it for Chinese text.
QFont DialogFont(const std::string& faceName, int pointSize);

// Dialog units to pixels from the dialog font's average character size, as the original platform
// does: base x is the average width of the 52 letters A-Z a-z, base y the font height; a horizontal
// unit is a quarter of base x and a vertical unit an eighth of base y.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }
    int X(int du) const;
    int Y(int du) const;
    QRect Rect(int x, int y, int cx, int cy) const;
    // Pixels back to dialog units, rounded up so that the pixels fit.
    int UnitsX(int px) const;
    int UnitsY(int px) const;

  private:
    int m_baseX;
    int m_baseY;
};

} // namespace ui
