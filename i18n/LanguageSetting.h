#pragma once

#include <string>

namespace i18n {

// sys.ini: section SYSTEM, key LANGUAGE, the language index in decimal.

// The stored index: 0 when the file or the key is missing; a value outside 0..4 gives 2 (it is not
// written back).
int ReadLanguageIndex(const std::string& settingsPath);

// Writes the index ("%d"). False when the file could not be written.
bool StoreLanguageIndex(const std::string& settingsPath, int index);

} // namespace i18n
