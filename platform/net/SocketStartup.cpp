#include "platform/net/SocketStartup.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace net {

bool StartSockets() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace net
