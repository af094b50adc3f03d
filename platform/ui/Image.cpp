#include "platform/ui/Image.h"

#include <cstring>
#include <map>

#include "platform/ui/QtImage.h"

namespace ui {
namespace {

// Registered at start-up on the UI thread, before any window needs them.
std::map<int, Image>& Registry() {
    static std::map<int, Image> images;
    return images;
}

} // namespace

void RegisterImage(int resourceId, Image image) {
    Registry()[resourceId] = std::move(image);
}

const Image* FindImage(int resourceId) {
    const auto it = Registry().find(resourceId);
    return it == Registry().end() ? nullptr : &it->second;
}

QImage RegisteredQImage(int resourceId) {
    const Image* image = FindImage(resourceId);
    if (image == nullptr || image->width <= 0 || image->height <= 0 ||
        image->pixels.size() <
            static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
        return {};
    QImage out(image->width, image->height, QImage::Format_ARGB32);
    const std::size_t rowBytes = static_cast<std::size_t>(image->width) * sizeof(std::uint32_t);
    for (int y = 0; y < image->height; ++y)
        std::memcpy(out.scanLine(y), image->pixels.data() + static_cast<std::size_t>(y) * image->width,
                    rowBytes);
    return out;
}

} // namespace ui
