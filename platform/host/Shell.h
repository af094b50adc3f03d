#pragma once

#include <string>

namespace host {

// Opens url with the desktop's opener (xdg-open), started with the URL as one argument and never
// through a shell. Does not wait for the opener. False when it could not be started.
bool ShellOpen(const std::string& url);

// Runs one of the program's fixed command lines. "arp -d" flushes the IPv4 neighbour table of the
// current network namespace; without the right to do so nothing changes. Returns the exit status,
// or -1 when the command is unknown or could not run.
int RunCommand(const std::string& commandLine);

} // namespace host
