#pragma once

#include <cstdint>
#include <vector>

namespace ui {

// A picture as plain pixels, 0xAARRGGBB, row after row from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Images that templates and windows name by resource number (icons, bitmaps).
void RegisterImage(int resourceId, Image image);
const Image* FindImage(int resourceId);

} // namespace ui
