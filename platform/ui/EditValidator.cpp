#include "platform/ui/EditValidator.h"

#include <algorithm>

#include "platform/ui/QtText.h"

namespace ui {

EditValidator::EditValidator(QObject* parent, bool digitsOnly, int maxBytes)
    : QValidator(parent), m_digitsOnly(digitsOnly), m_maxBytes(std::max(0, maxBytes)) {}

QValidator::State EditValidator::validate(QString& input, int&) const {
    if (m_digitsOnly && std::any_of(input.begin(), input.end(), [](QChar c) { return c < u'0' || c > u'9'; }))
        return Invalid;
    if (m_maxBytes > 0 && FromQt(input).size() > static_cast<std::size_t>(m_maxBytes))
        return Invalid;
    return Acceptable;
}

} // namespace ui
