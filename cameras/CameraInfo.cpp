#include "cameras/CameraInfo.h"

#include <algorithm>
#include <cstring>

void SetFieldText(char* field, std::size_t width, std::string_view text) {
    std::memset(field, 0, width);
    if (width == 0)
        return;
    std::memcpy(field, text.data(), std::min(text.size(), width - 1));
}

std::uint16_t HttpPort(const CameraInfo& info) {
    std::uint8_t b[2];
    std::memcpy(b, &info.nHttpPort, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

void SetHttpPort(CameraInfo& info, std::uint16_t port) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(port & 0xFF), static_cast<std::uint8_t>(port >> 8)};
    std::memcpy(&info.nHttpPort, b, 2);
}

CameraInfo ZeroCameraInfo() {
    CameraInfo info;
    std::memset(&info, 0, sizeof info);
    return info;
}
