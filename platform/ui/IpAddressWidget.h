#pragma once

#include <array>

#include <QFrame>

class QLabel;
class QLineEdit;

namespace ui {

// The widget behind an IP-address control: four fields of 0..255 between dots, inside one edit
// frame. Typing a third digit or a dot moves on to the next field, a value above 255 becomes 255,
// Backspace in an empty field goes back. The control is one tab stop: Tab enters its first field
// and leaves from any field.
class IpAddressWidget : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kFields = 4;
    static constexpr int kMaxValue = 255;

    explicit IpAddressWidget(QWidget* parent);

    void SetFields(const std::array<int, kFields>& values);
    void Clear();
    // Keeps the leading digits (at most three) of text and clamps them to 0..255.
    void SetFieldText(int field, const QString& text);
    QString FieldText(int field) const;
    bool IsBlank(int field) const;
    int Value(int field) const; // a blank field reads 0
    QString Text() const;       // "a.b.c.d", blank fields as 0
    QLineEdit* Field(int field) const { return m_fields[static_cast<std::size_t>(field)]; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void OnEdited(int field);
    void FocusField(int field, bool atEnd);
    int IndexOf(const QObject* field) const;

    std::array<QLineEdit*, kFields> m_fields{};
    std::array<QLabel*, kFields - 1> m_dots{};
};

} // namespace ui
