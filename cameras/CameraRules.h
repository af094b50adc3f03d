#pragma once

#include <string>
#include <vector>

#include "cameras/CameraInfo.h"
#include "platform/net/IpAddrTable.h"

// The rules by which a camera's record becomes the texts of its list row.

// "AJ" for MO_I cameras; for DH cameras "H" when szSysVersion reads a.b.c.d with a == 67 and c > 60,
// else "J" (also when the text does not supply its first and third numbers).
const char* ModelLabel(const CameraInfo& info, int dhProtocol);

// 1 when the camera's address and mask fit the network of one row of table: same netmask, and
// address AND mask equal. A missing table (it could not be read) counts as a match.
int SubnetMatch(const CameraInfo& info, const net::IpAddrTable* table);

// Reads the host's interface table anew and applies SubnetMatch.
int SubnetMatchOnHost(const CameraInfo& info);

// Converts length bytes of UTF-8 into the window code page. False (out empty) when the conversion
// fails or the text is empty. Invalid sequences become U+FFFD.
bool Utf8ToLocal(const char* text, int length, std::vector<char>& out);

// Column 1: szName converted; a converted text that begins with "?" loses that one character.
std::string NameColumnText(const CameraInfo& info);

// Column 2 of a camera in a local subnet: "address:port".
std::string AddressColumnText(const CameraInfo& info);
