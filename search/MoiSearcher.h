#pragma once
// CMoiSearcher: MO_I discovery on UDP port 10000. Same contract as CDhSearcher, plus
//   bool SendSetNetwork(const CameraInfo& info, int slot);  84-byte set-network request
