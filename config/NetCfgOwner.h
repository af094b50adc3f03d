#pragma once

#include "cameras/CameraInfo.h"

// What the network-setting dialog hands its edits to: the main window.
class NetCfgOwner {
public:
    virtual void ApplyNetworkSettings(CameraInfo record, int row) = 0;

protected:
    ~NetCfgOwner() = default;
};
