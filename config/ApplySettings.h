#pragma once

#include "cameras/CameraInfo.h"

// The eight fields that the network-setting dialog edits (DHCP, port, four addresses, user and
// password), copied from record into info. Every other field keeps what the camera reported.
void ApplyEditedFields(CameraInfo& info, const CameraInfo& record);
