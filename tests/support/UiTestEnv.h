#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "tests/support/TestFiles.h"

// Shared set-up of the window tests: the window system (offscreen), the program's images, a private
// directory standing in for the executable's, and a way to let queued work run.
namespace testenv {

// Every test program that links this support gets the application object (offscreen platform,
// never the machine's display) for the whole run, created before the first test and destroyed after
// the last, and the program's images registered.

// Runs the event loop until pred holds or timeout passes; returns pred().
bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Lets queued events run for a moment.
void ProcessEvents(int ms = 20);

} // namespace testenv
