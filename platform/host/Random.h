#pragma once

#include <functional>

namespace host {

// The process-wide pseudo-random generator: values 0 to 32767, seeded from the calendar time.
void SeedRandomFromTime();
void SeedRandom(unsigned seed);
int Random();

using RandomHook = std::function<int()>;
// Tests install a source of chosen values (an empty hook restores the generator). Returns the old hook.
RandomHook SetRandomHook(RandomHook hook);

} // namespace host
