#pragma once

#include <QValidator>

namespace ui {

// What an edit accepts from the keyboard: digits only for a number edit, and at most a number of
// bytes in the window code page once a limit is set. The limit counts bytes because the program
// copies the text into fixed-size byte fields, where a Chinese character takes two or four.
// Texts the program sets itself are not checked, as on the original platform.
class EditValidator : public QValidator {
    Q_OBJECT
  public:
    EditValidator(QObject* parent, bool digitsOnly, int maxBytes);
    State validate(QString& input, int& pos) const override;

  private:
    bool m_digitsOnly;
    int m_maxBytes; // 0: no limit
};

} // namespace ui
