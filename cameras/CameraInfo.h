#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// One camera as the DH protocol carries it: 320 bytes of fixed-width fields, the payload of the DH
// search reply and of the DH set request. The layout is a wire format: never reorder, resize or pad.
// Text fields are NUL-terminated when the program writes them; a camera may fill one to its width,
// so read them with FieldText(), never with strlen.
struct CameraInfo {
    char szIp[16];
    char szMask[16];
    char szGateway[16];
    char szExtraAddr[16];
    char szDns[16];
    std::uint8_t abReserved1[6];
    std::uint16_t nHttpPort; // little-endian on the wire; use HttpPort()/SetHttpPort()
    char szP2pId[32];
    char szName[80]; // UTF-8
    char szSysVersion[16];
    char szAppVersion[16];
    char szUser[32];
    char szPassword[32];
    std::uint8_t byReserved2;
    std::uint8_t bDhcp;
    std::uint8_t abReserved3[22];
};

static_assert(sizeof(CameraInfo) == 320);
static_assert(offsetof(CameraInfo, szIp) == 0);
static_assert(offsetof(CameraInfo, szMask) == 16);
static_assert(offsetof(CameraInfo, szGateway) == 32);
static_assert(offsetof(CameraInfo, szExtraAddr) == 48);
static_assert(offsetof(CameraInfo, szDns) == 64);
static_assert(offsetof(CameraInfo, abReserved1) == 80);
static_assert(offsetof(CameraInfo, nHttpPort) == 86);
static_assert(offsetof(CameraInfo, szP2pId) == 88);
static_assert(offsetof(CameraInfo, szName) == 120);
static_assert(offsetof(CameraInfo, szSysVersion) == 200);
static_assert(offsetof(CameraInfo, szAppVersion) == 216);
static_assert(offsetof(CameraInfo, szUser) == 232);
static_assert(offsetof(CameraInfo, szPassword) == 264);
static_assert(offsetof(CameraInfo, byReserved2) == 296);
static_assert(offsetof(CameraInfo, bDhcp) == 297);
static_assert(offsetof(CameraInfo, abReserved3) == 298);

// The text of a fixed-width field: up to its first NUL, and never past its width.
template <std::size_t N> std::string_view FieldText(const char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0')
        ++n;
    return {field, n};
}

// Clears the whole field, then writes text cut to width - 1 bytes so a NUL always follows.
void SetFieldText(char* field, std::size_t width, std::string_view text);
template <std::size_t N> void SetFieldText(char (&field)[N], std::string_view text) {
    SetFieldText(field, N, text);
}

// The HTTP port is stored little-endian whatever the host's byte order.
std::uint16_t HttpPort(const CameraInfo& info);
void SetHttpPort(CameraInfo& info, std::uint16_t port);

// A record of 320 zero bytes.
CameraInfo ZeroCameraInfo();
