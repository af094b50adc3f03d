#include "res/Strings.h"

#include "res/ResourceIds.h"

namespace res {

const char* LoadString(int id) {
    switch (id) {
    case kIdsAboutBox:
        return "About Brenvik(&A)...";
    case kIdsSocketsInitFailed:
        return "Windows \xCC\xD7\xBD\xD3\xD7\xD6\xB3\xF5\xCA\xBC\xBB\xAF\xCA\xA7\xB0\xDC\xA1\xA3"; // "Windows 套接字初始化失败。"
    default:
        return "";
    }
}

} // namespace res
