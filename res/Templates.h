#pragma once

#include "platform/ui/DialogTemplate.h"

namespace res {

// The program's dialog templates. Texts are the template's own (Simplified Chinese, GBK); windows
// replace them with the texts of the current language when they open.
const ui::DialogTemplate& AboutTemplate();     // 100
const ui::DialogTemplate& MainTemplate();      // 102
const ui::DialogTemplate& BaseParamTemplate(); // 130
const ui::DialogTemplate& NetCfgTemplate();    // 131

} // namespace res
