#pragma once

#include <string>

namespace host {

// Directory of the running executable, without a trailing slash; empty when unknown.
std::string ExecutableDirectory();

// Where a settings file named fileName lives: beside the executable when that directory is writable
// (a portable copy), else in $XDG_CONFIG_HOME/tavlin (default ~/.config/tavlin); WriteProfileString creates the folder when it writes.
std::string ResolveSettingsFile(const std::string& exeDir, const std::string& fileName);

} // namespace host
