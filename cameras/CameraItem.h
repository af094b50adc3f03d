#pragma once

#include <cstdint>

#include "cameras/CameraInfo.h"

// What a list row owns: the camera's record and how it was found.
struct CameraItem {
    CameraInfo info;
    std::int32_t nSlot;        // searcher slot whose receiver got the reply; set requests leave there
    std::int32_t bSubnetMatch; // 1: address and mask fit one of the host's interfaces
    std::int32_t bDhProtocol;  // 1: found by DH, 0: by MO_I
};

static_assert(sizeof(CameraItem) == 332);
static_assert(offsetof(CameraItem, nSlot) == 320);
