#include "platform/ui/QtText.h"

#include "platform/host/CodePage.h"

namespace ui {

QString ToQt(std::string_view local) {
    const std::string utf8 = host::LocalToUtf8(local);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQt(const QString& text) {
    std::string local;
    host::Utf16ToLocal(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<std::size_t>(text.size())),
                       local);
    return local;
}

} // namespace ui
