#pragma once

#include <string>
#include <string_view>


namespace host {

// The window code page: every multibyte text handed to the window layer is GB18030, a superset of
// GBK that covers all of Unicode.

// UTF-8 to UTF-16. Invalid sequences become U+FFFD and the rest is kept.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to the window code page. False when the conversion fails.
bool Utf16ToLocal(std::u16string_view text, std::string& out);
// Window code page to UTF-8, for the boundary with the widget toolkit.
std::string LocalToUtf8(std::string_view local);

} // namespace host
