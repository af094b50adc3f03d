#pragma once

#include <functional>

namespace host {

// Sleeps ms milliseconds on the calling thread. Unit tests replace the sleep with a recorder
// so that burst timing is checked without waiting.
void Pause(int ms);

using PauseHook = std::function<void(int ms)>;
// Installs a replacement for the sleep (an empty hook restores the real one). Returns the old hook.
PauseHook SetPauseHook(PauseHook hook);

} // namespace host
