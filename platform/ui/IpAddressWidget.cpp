#include "platform/ui/IpAddressWidget.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QResizeEvent>

namespace ui {
namespace {

constexpr int kMaxDigits = 3;

QString Clamped(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9' || digits.size() == kMaxDigits)
            break;
        digits.append(c);
    }
    if (!digits.isEmpty() && digits.toInt() > IpAddressWidget::kMaxValue)
        digits = QString::number(IpAddressWidget::kMaxValue);
    return digits;
}

} // namespace

IpAddressWidget::IpAddressWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);

    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < kFields; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            m_dots[static_cast<std::size_t>(i - 1)] = dot;
        }
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setValidator(digits);
        field->setMaxLength(kMaxDigits);
        field->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        field->setTextMargins(0, 0, 0, 0);
        field->setMinimumSize(0, 0);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnEdited(i); });
        m_fields[static_cast<std::size_t>(i)] = field;
    }
    setFocusProxy(m_fields[0]);
}

void IpAddressWidget::SetFields(const std::array<int, kFields>& values) {
    for (int i = 0; i < kFields; ++i)
        SetFieldText(i, QString::number(values[static_cast<std::size_t>(i)]));
}

void IpAddressWidget::Clear() {
    for (QLineEdit* field : m_fields)
        field->clear();
}

void IpAddressWidget::SetFieldText(int field, const QString& text) {
    if (field >= 0 && field < kFields)
        Field(field)->setText(Clamped(text));
}

QString IpAddressWidget::FieldText(int field) const {
    return field >= 0 && field < kFields ? Field(field)->text() : QString();
}

bool IpAddressWidget::IsBlank(int field) const {
    return FieldText(field).isEmpty();
}

int IpAddressWidget::Value(int field) const {
    const QString text = FieldText(field);
    return text.isEmpty() ? 0 : std::min(text.toInt(), static_cast<int>(kMaxValue));
}

QString IpAddressWidget::Text() const {
    return QStringLiteral("%1.%2.%3.%4").arg(Value(0)).arg(Value(1)).arg(Value(2)).arg(Value(3));
}

void IpAddressWidget::OnEdited(int field) {
    QLineEdit* edit = Field(field);
    const QString clamped = Clamped(edit->text());
    if (clamped != edit->text())
        edit->setText(clamped);
    if (clamped.size() == kMaxDigits && edit->cursorPosition() == kMaxDigits && field + 1 < kFields)
        FocusField(field + 1, false);
}

void IpAddressWidget::FocusField(int field, bool atEnd) {
    QLineEdit* edit = Field(field);
    edit->setFocus(Qt::OtherFocusReason);
    if (atEnd)
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
    else
        edit->selectAll();
}

int IpAddressWidget::IndexOf(const QObject* field) const {
    for (int i = 0; i < kFields; ++i)
        if (Field(i) == field)
            return i;
    return -1;
}

bool IpAddressWidget::eventFilter(QObject* watched, QEvent* event) {
    const int field = IndexOf(watched);
    if (field < 0 || event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) != 0)
        return QFrame::eventFilter(watched, event);
    QLineEdit* edit = Field(field);
    switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
        if (!edit->text().isEmpty() && field + 1 < kFields)
            FocusField(field + 1, false);
        return true;
    case Qt::Key_Backspace:
        if (edit->cursorPosition() == 0 && !edit->hasSelectedText() && field > 0) {
            FocusField(field - 1, true);
            return true;
        }
        break;
    case Qt::Key_Left:
        if (edit->cursorPosition() == 0 && field > 0) {
            FocusField(field - 1, true);
            return true;
        }
        break;
    case Qt::Key_Right:
        if (edit->cursorPosition() == edit->text().size() && field + 1 < kFields) {
            FocusField(field + 1, false);
            edit = Field(field + 1);
            edit->setCursorPosition(0);
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void IpAddressWidget::resizeEvent(QResizeEvent* event) {
    // Laid out by hand: the control is often shorter than a line edit would like to be.
    QFrame::resizeEvent(event);
    const QRect area = contentsRect();
    const int dotWidth = fontMetrics().horizontalAdvance(QLatin1Char('.')) + 2;
    const int fieldWidth = std::max(0, (area.width() - (kFields - 1) * dotWidth) / kFields);
    int x = area.left();
    for (int i = 0; i < kFields; ++i) {
        if (i > 0) {
            m_dots[static_cast<std::size_t>(i - 1)]->setGeometry(x, area.top(), dotWidth, area.height());
            x += dotWidth;
        }
        Field(i)->setGeometry(x, area.top(), fieldWidth, area.height());
        x += fieldWidth;
    }
}

void IpAddressWidget::changeEvent(QEvent* event) {
    // A disabled control shows the dialog's face colour, as a disabled edit does.
    if (event->type() == QEvent::EnabledChange)
        setBackgroundRole(isEnabled() ? QPalette::Base : QPalette::Window);
    QFrame::changeEvent(event);
}

} // namespace ui
