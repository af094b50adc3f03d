#pragma once

#include "platform/ui/Image.h"

namespace res {

// Icon 128 (128 x 128) and the banner bitmap 136 (194 x 26), drawn in code.
ui::Image AppIcon();
ui::Image Banner();

// Registers both with the window layer under their resource numbers.
void RegisterImages();

} // namespace res
