// MO_I wire bytes, the receiver's check with every truncated length, and the reply decoding.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "search/MoiCodec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint16_t command, std::uint32_t length) {
    Bytes h = {
        0x4D, 0x4F, 0x5F, 0x49, static_cast<std::uint8_t>(command), static_cast<std::uint8_t>(command >> 8)};
    h.resize(15, 0);
    for (int i = 0; i < 4; ++i)
        h.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    h.resize(23, 0);
    return h;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Text(const std::string& s, std::size_t width) {
    Bytes b(s.begin(), s.end());
    b.resize(width, 0);
    return b;
}

// The 65-byte search reply payload used below; bytes the decoder must not read are 0xEE.
Bytes ReplyPayload() {
    Bytes p;
    p = Concat(p, Text("P2P0123456789", 13));         // 13 bytes, no terminator
    p = Concat(p, Text("ABCDEFGHIJKLMNOPQRSTU", 21)); // 21 bytes, no terminator
    p = Concat(p, {0xC0, 0xA8, 0x01, 0x0A});          // address
    p = Concat(p, {0xFF, 0xFF, 0xFF, 0x00});          // mask
    p = Concat(p, {0xC0, 0xA8, 0x01, 0x01});          // gateway
    p = Concat(p, {0x08, 0x08, 0x04, 0x04});          // DNS
    p = Concat(p, {0xEE, 0xEE, 0xEE, 0xEE});          // not read
    p = Concat(p, {200, 1, 2, 255});                  // system version
    p = Concat(p, {0, 0, 0, 7});                      // application version
    p = Concat(p, {0x1F, 0x90});                      // port 8080, big-endian
    p.push_back(0xEE);                                // not read
    return p;
}

Bytes Prefix(Bytes b, std::size_t n) {
    b.resize(n);
    return b;
}

Bytes WithByte(Bytes b, std::size_t at, std::uint8_t value) {
    b[at] = value;
    return b;
}

TEST(MoiCodec, SearchRequestBytes) {
    const auto req = BuildMoiSearchRequest();
    const Bytes expected = {0x4D, 0x4F, 0x5F, 0x49, 0x00, 0x00, 0, 0, 0, 0,    0,    0,    0,   0,
                            0,    0x04, 0x00, 0x00, 0x00, 0,    0, 0, 0, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(Bytes(req.begin(), req.end()), expected);
}

TEST(MoiCodec, SetNetworkRequestBytes) {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, "192.168.1.10");
    SetFieldText(info.szMask, "255.255.255.0");
    SetFieldText(info.szGateway, "192.168.1.1");
    SetFieldText(info.szDns, "192.168.1.2");
    SetFieldText(info.szP2pId, "ABCD1234");
    SetFieldText(info.szUser, "admin");
    SetFieldText(info.szPassword, "secret12345678901"); // 17 characters: cut to 13, no terminator
    SetFieldText(info.szName, "not sent");
    SetFieldText(info.szExtraAddr, "9.9.9.9");
    SetFieldText(info.szSysVersion, "1.2.3.4");
    info.bDhcp = 1;
    SetHttpPort(info, 80);

    Bytes expected = Header(2, 61);
    expected = Concat(expected, {0, 0, 0, 0});
    expected = Concat(expected, Text("ABCD1234", 13));
    expected = Concat(expected, Text("admin", 13));
    expected = Concat(expected, Text("secret1234567", 13));
    expected = Concat(expected, {0xC0, 0xA8, 0x01, 0x0A, 0xFF, 0xFF, 0xFF, 0x00, 0xC0, 0xA8, 0x01, 0x01, 0xC0,
                                 0xA8, 0x01, 0x02, 0x00, 0x50});
    ASSERT_EQ(expected.size(), 84u);
    const auto req = BuildMoiSetNetworkRequest(info);
    EXPECT_EQ(Bytes(req.begin(), req.end()), expected);
}

TEST(MoiCodec, SetNetworkCutsLongTextsToThirteenBytes) {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szUser, "abcdefghijklmnopqrst"); // 20 characters
    const auto req = BuildMoiSetNetworkRequest(info);
    EXPECT_EQ(Bytes(req.begin() + 23 + 17, req.begin() + 23 + 30), Text("abcdefghijklm", 13));
    EXPECT_EQ(req[23 + 30], 0); // the password field starts right after, not a terminator of the user
}

TEST(MoiCodec, AddressTextToBytes) {
    struct Case {
        const char* text;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {"192.168.1.10", {192, 168, 1, 10}},
        {"", {0, 0, 0, 0}},
        {"10.1", {10, 1, 0, 0}},
        {"1..2.3.4", {1, 2, 3, 4}}, // empty parts are skipped
        {".1.2.3.4.", {1, 2, 3, 4}},
        {"1.2.3.4.5.6", {1, 2, 3, 4}},      // parts after the fourth are ignored
        {" 7. +8.-1.300", {7, 8, 255, 44}}, // blanks, signs, low 8 bits
        {"12ab.x.3z.4", {12, 0, 3, 4}},     // reading stops at a non-digit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MoiAddressBytes(c.text), c.bytes);
    }
}

TEST(MoiCodec, CheckTable) {
    const Bytes payload = ReplyPayload();
    struct Case {
        const char* name;
        Bytes datagram;
        bool accepted;
    };
    const Case cases[] = {
        {"reply, length 65", Concat(Header(1, 65), payload), true},
        {"reply, length 64", Concat(Header(1, 64), payload), false},
        {"reply, length 1000", Concat(Header(1, 1000), payload), true},
        {"command 0", Concat(Header(0, 65), payload), false},
        {"command 2", Concat(Header(2, 65), payload), false},
        {"command 0x0101", Concat(Header(0x0101, 65), payload), false},
        {"bare header, length 0", Header(1, 0), true},
        {"wrong magic", WithByte(Concat(Header(1, 65), payload), 2, 0x2D), false},
        {"magic in lower case", WithByte(Concat(Header(1, 65), payload), 0, 0x6D), false},
        {"22 bytes", Prefix(Header(1, 0), 22), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MoiCheckResult r = CheckMoiDatagram(c.datagram);
        EXPECT_EQ(r.accepted, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(r.code, 1u);
            EXPECT_EQ(r.length, 65);
            EXPECT_EQ(r.payload, c.datagram.data() + 23);
        }
    }
}

// Each cut is a heap buffer of exactly that length: the check and the span decoder must not read
// past it, and missing payload bytes decode as zero.
TEST(MoiCodec, EveryTruncatedReply) {
    const Bytes full = Concat(Header(1, 65), ReplyPayload());
    ASSERT_EQ(full.size(), 88u);
    for (std::size_t len = 0; len <= full.size(); ++len) {
        SCOPED_TRACE(len);
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
        const MoiCheckResult r = CheckMoiDatagram(cut);
        ASSERT_EQ(r.accepted, len >= 23);
        if (!r.accepted)
            continue;
        Bytes padded(full.begin() + 23, full.begin() + static_cast<std::ptrdiff_t>(len));
        padded.resize(65, 0);
        const CameraInfo fromCut = DecodeMoiSearchReply(std::span(r.payload, len - 23));
        const CameraInfo fromPadded = DecodeMoiSearchReply(padded.data());
        EXPECT_EQ(std::memcmp(&fromCut, &fromPadded, sizeof(CameraInfo)), 0);
    }
}

TEST(MoiCodec, DecodeReply) {
    const Bytes payload = ReplyPayload();
    const CameraInfo info = DecodeMoiSearchReply(payload.data());
    EXPECT_EQ(FieldText(info.szIp), "192.168.1.10");
    EXPECT_EQ(FieldText(info.szMask), "255.255.255.0");
    EXPECT_EQ(FieldText(info.szGateway), "192.168.1.1");
    EXPECT_EQ(FieldText(info.szDns), "8.8.4.4");
    EXPECT_EQ(FieldText(info.szExtraAddr), "0.0.0.0");
    EXPECT_EQ(FieldText(info.szSysVersion), "200.1.2.255"); // unsigned, never negative
    EXPECT_EQ(FieldText(info.szAppVersion), "0.0.0.7");
    EXPECT_EQ(HttpPort(info), 8080);
    EXPECT_EQ(FieldText(info.szP2pId), "P2P0123456789");
    EXPECT_EQ(FieldText(info.szName), "ABCDEFGHIJKLMNOPQRSTU"); // exactly the 21 bytes
    // Everything the reply does not fill is zero.
    CameraInfo zero = ZeroCameraInfo();
    EXPECT_EQ(std::memcmp(info.szUser, zero.szUser, sizeof info.szUser), 0);
    EXPECT_EQ(std::memcmp(info.szPassword, zero.szPassword, sizeof info.szPassword), 0);
    EXPECT_EQ(std::memcmp(info.abReserved1, zero.abReserved1, sizeof info.abReserved1), 0);
    EXPECT_EQ(std::memcmp(info.abReserved3, zero.abReserved3, sizeof info.abReserved3), 0);
    EXPECT_EQ(info.byReserved2, 0);
    EXPECT_EQ(info.bDhcp, 0);
    const auto* name = reinterpret_cast<const std::uint8_t*>(info.szName);
    for (std::size_t i = 21; i < sizeof info.szName; ++i)
        EXPECT_EQ(name[i], 0) << i;
}

TEST(MoiCodec, BareHeaderGivesAnEmptyCamera) {
    const Bytes header = Header(1, 0);
    const MoiCheckResult r = CheckMoiDatagram(header);
    ASSERT_TRUE(r.accepted);
    const CameraInfo info = DecodeMoiSearchReply(std::span(r.payload, std::size_t{0}));
    EXPECT_EQ(FieldText(info.szIp), "0.0.0.0");
    EXPECT_EQ(FieldText(info.szSysVersion), "0.0.0.0");
    EXPECT_EQ(HttpPort(info), 0);
    EXPECT_EQ(FieldText(info.szName), "");
    EXPECT_EQ(FieldText(info.szP2pId), "");
}

// What goes out in a set-network request comes back through a reply's fields unchanged.
TEST(MoiCodec, AddressesSurviveSetAndReply) {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, "10.20.30.40");
    SetFieldText(info.szMask, "255.255.0.0");
    SetFieldText(info.szGateway, "10.20.0.1");
    SetFieldText(info.szDns, "1.1.1.1");
    SetHttpPort(info, 65535);
    const auto req = BuildMoiSetNetworkRequest(info);
    Bytes reply(65, 0);
    std::memcpy(reply.data() + 34, req.data() + 23 + 43, 16); // the four addresses, same order
    std::memcpy(reply.data() + 62, req.data() + 23 + 59, 2);  // the port, big-endian both ways
    const CameraInfo back = DecodeMoiSearchReply(reply.data());
    EXPECT_EQ(FieldText(back.szIp), "10.20.30.40");
    EXPECT_EQ(FieldText(back.szMask), "255.255.0.0");
    EXPECT_EQ(FieldText(back.szGateway), "10.20.0.1");
    EXPECT_EQ(FieldText(back.szDns), "1.1.1.1");
    EXPECT_EQ(HttpPort(back), 65535);
}

} // namespace
