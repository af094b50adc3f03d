#include "res/ContextMenu.h"

#include "res/ResourceIds.h"

namespace res {

ui::PopupMenu ContextMenu() {
    return ui::PopupMenu({
        {kIdmBasicInfo, "\xBB\xF9\xB1\xBE\xCA\xF4\xD0\xD4", true},                                  // "基本属性"
        {kIdmNetworkSetting, "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3", true},                             // "网络配置"
        {kIdmRefresh, "\xCB\xA2\xD0\xC2\xC9\xE3\xCF\xF1\xBB\xFA\xC1\xD0\xB1\xED", true},           // "刷新摄像机列表"
        {kIdmClearArp, "\xC7\xE5\xB3\xFD\x41rp\xBB\xBA\xB4\xE6", true},                            // "清除Arp缓存"
        {kIdmAbout, "\xB9\xD8\xD3\xDAIP\xC9\xE3\xCF\xF1\xBB\xFA\xB9\xA4\xBE\xDF", true},            // "关于IP摄像机工具"
    });
}

} // namespace res
