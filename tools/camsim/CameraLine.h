#pragma once

#include "tools/camsim/SimCamera.h"

#include <string>
#include <string_view>
#include <vector>

namespace camsim {

// A camera written as one line of key=value pairs joined by commas, as --camera, --defaults and
// --file take it:
//   proto=dh,ip=10.0.0.5,mask=255.255.255.0,gw=10.0.0.1,dns=10.0.0.2,port=80,p2p=ABC123,name=Front door
// Keys: proto (dh, moi, both), ip, mask, gw, extra, dns, port, p2p, name, sys, app, user, password,
// dhcp (0, 1), res1, res2, res3 (reserved bytes in hex), delay (ms). In a value, \, is a comma, \\ a
// backslash and \xNN the byte NN. Keys are trimmed of blanks, values are taken as they stand.
class CameraLine {
public:
    // Sets on camera the keys the line names. Throws std::invalid_argument naming the bad key.
    static void Apply(std::string_view line, SimCamera& camera);

    // Camera number index (1-based) before any key: DH, mask 255.255.255.0, extra address 0.0.0.0,
    // port 80, P2P identifier SIM<index, 6 digits>, name "Camera <index>", versions 67.1.61.0 and
    // 2.1.0.3, user admin, empty password, DHCP off.
    static SimCamera Defaults(unsigned index);

    // Fills what derives from the address (gateway a.b.c.1, DNS server = gateway, when not given),
    // then checks what a camera needs: a protocol; addresses of four numbers; texts that fit their
    // record fields (a text may fill its field without a terminator); for MO_I, versions of four
    // numbers. Throws std::invalid_argument.
    static void Complete(SimCamera& camera);

    // The camera lines of a file: every line but blank ones and those starting with '#'. Throws
    // std::invalid_argument when the file cannot be read.
    static std::vector<std::string> ReadFile(const std::string& path);
};

} // namespace camsim
