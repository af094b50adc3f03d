#pragma once

#include <string>

namespace host {

// Profile (INI) files. Reading returns def when the file or the key is missing; a value is read as a
// decimal integer with an optional sign (trailing text ignored; no digits give 0).
int GetProfileInt(const std::string& section, const std::string& key, int def, const std::string& path);

// Writes key=value into section, creating the file and the section when missing and keeping every
// other line of the file as it was. False when the file cannot be written.
bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& path);

} // namespace host
