#include "platform/ui/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include "platform/ui/QtText.h"

namespace ui {
namespace {

constexpr char kSansFace[] = "DejaVu Sans";
constexpr char kCjkFace[] = "WenQuanYi Micro Hei";
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;

// The faces the original's templates name; none of them is installed here.
constexpr const char* kWindowsDialogFaces[] = {
    "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif",
    "Tahoma",       "Segoe UI",       "System"};

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(p >= 0 ? (p + half) / c : -((-p + half) / c));
}

} // namespace

QFont DialogFont(const std::string& faceName, int pointSize) {
    QString face = ToQt(faceName);
    bool windowsFace = face.isEmpty();
    for (const char* known : kWindowsDialogFaces)
        windowsFace = windowsFace || face.compare(QLatin1String(known), Qt::CaseInsensitive) == 0;
    if (windowsFace || !QFontDatabase::hasFamily(face))
        face = QString::fromLatin1(kSansFace);
    QFont font;
    font.setFamilies(QStringList{face, QString::fromLatin1(kCjkFace)});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize > 0 ? pointSize : 8);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QLatin1String(kAlphabet));
    m_baseX = (width + kAlphabetLength / 2) / kAlphabetLength;
    m_baseY = metrics.height();
}

int DialogUnits::X(int du) const {
    return MulDiv(du, m_baseX, 4);
}

int DialogUnits::Y(int du) const {
    return MulDiv(du, m_baseY, 8);
}

QRect DialogUnits::Rect(int x, int y, int cx, int cy) const {
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

int DialogUnits::UnitsX(int px) const {
    return m_baseX > 0 ? (px * 4 + m_baseX - 1) / m_baseX : 0;
}

int DialogUnits::UnitsY(int px) const {
    return m_baseY > 0 ? (px * 8 + m_baseY - 1) / m_baseY : 0;
}

} // namespace ui
