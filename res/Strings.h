#pragma once

namespace res {

// The string table: string 101 (the window-menu entry) and 103 (socket start-up failure). Neither is
// translated. Returns "" for an unknown number.
const char* LoadString(int id);

} // namespace res
