#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace ui {

// The one place where the window code page (GB18030) meets Qt's Unicode: every text the program
// hands to the layer goes through ToQt, every text it reads back through FromQt.
QString ToQt(std::string_view local);
std::string FromQt(const QString& text);

} // namespace ui
