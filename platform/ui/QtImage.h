#pragma once

#include <QImage>

#include "platform/ui/Image.h"

namespace ui {

// The registered image as a Qt image; a null image when nothing is registered under the number.
QImage RegisteredQImage(int resourceId);

} // namespace ui
