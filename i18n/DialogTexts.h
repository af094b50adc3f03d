#pragma once

namespace i18n {

// Texts of the network-setting dialog, by control.
enum class NetCfgText { Dhcp, IpAddr, Submask, Gateway, Dns, HttpPort, User, Password, Ok, Cancel, Title, Count };

// Texts of the basic-information dialog, by control.
enum class BaseParamText { SysVersion, AppVersion, Ok, Title, Count };

// language must be 0..4. Stored bytes: ASCII, or GBK for the Chinese sets.
const char* NetCfgString(int language, NetCfgText which);
const char* BaseParamString(int language, BaseParamText which);

} // namespace i18n
