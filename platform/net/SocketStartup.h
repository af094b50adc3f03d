#pragma once

namespace net {

// Checks that the host offers IPv4 datagram sockets (creates one and closes it; nothing is sent).
// False when it does not: the program cannot search at all.
bool StartSockets();

} // namespace net
