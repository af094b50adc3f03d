// DH wire bytes and the receiver's check, with every truncated length of both replies.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "search/DhCodec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A record whose every byte differs from its neighbours, reserved fields included.
CameraInfo PatternRecord() {
    CameraInfo info;
    auto* p = reinterpret_cast<std::uint8_t*>(&info);
    for (std::size_t i = 0; i < sizeof info; ++i)
        p[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return info;
}

Bytes Packet(std::initializer_list<std::uint8_t> head, std::size_t total) {
    Bytes d(head);
    d.resize(total, 0);
    return d;
}

TEST(DhCodec, SearchRequestIsTheFourHeaderBytes) {
    const auto req = BuildDhSearchRequest();
    EXPECT_EQ(Bytes(req.begin(), req.end()), (Bytes{0x44, 0x48, 0x01, 0x01}));
}

TEST(DhCodec, SetRequestCarriesTheRecordByteForByte) {
    const CameraInfo info = PatternRecord();
    const auto req = BuildDhSetRequest(info);
    ASSERT_EQ(req.size(), 324u);
    EXPECT_EQ(Bytes(req.begin(), req.begin() + 4), (Bytes{0x44, 0x48, 0x02, 0x01}));
    // Reserved bytes and szExtraAddr go back exactly as the camera sent them.
    EXPECT_EQ(std::memcmp(req.data() + 4, &info, sizeof info), 0);
}

TEST(DhCodec, SetRequestPortIsLittleEndian) {
    CameraInfo info = ZeroCameraInfo();
    SetHttpPort(info, 8080);
    const auto req = BuildDhSetRequest(info);
    EXPECT_EQ(req[4 + 86], 0x90);
    EXPECT_EQ(req[4 + 87], 0x1F);
}

struct CheckCase {
    const char* name;
    Bytes datagram;
    DhVerdict verdict;
    std::uint32_t code;
};

TEST(DhCodec, CheckTable) {
    const CheckCase cases[] = {
        {"full search reply", Packet({0x44, 0x48, 0x01, 0x08, 0x31, 0x39}, 324), DhVerdict::SearchReply,
         0x39310801},
        {"bytes swapped", Packet({0x48, 0x44, 0x01, 0x08}, 324), DhVerdict::Drop, 0},
        {"search request echoed", Packet({0x44, 0x48, 0x01, 0x01}, 4), DhVerdict::Drop, 0},
        {"set request echoed", Packet({0x44, 0x48, 0x02, 0x01}, 324), DhVerdict::Drop, 0},
        {"unknown command", Packet({0x44, 0x48, 0x03, 0x08}, 324), DhVerdict::Drop, 0},
        {"command byte order swapped", Packet({0x44, 0x48, 0x08, 0x01}, 324), DhVerdict::Drop, 0},
        {"one byte", Packet({0x44}, 1), DhVerdict::Drop, 0},
        {"oversized reply still a reply", Packet({0x44, 0x48, 0x01, 0x08}, 1400), DhVerdict::SearchReply,
         0x0801},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DhCheckResult r = CheckDhDatagram(c.datagram);
        EXPECT_EQ(r.verdict, c.verdict);
        if (c.verdict == DhVerdict::SearchReply) {
            EXPECT_EQ(r.code, c.code);
            EXPECT_EQ(r.code & 0xFFFF, DH_CMD_SEARCH_REPLY);
            EXPECT_EQ(r.length, static_cast<std::int32_t>(c.datagram.size() - 4));
            EXPECT_EQ(r.payload, c.datagram.data() + 4);
        }
    }
}

TEST(DhCodec, SetReplyStatus) {
    Bytes ack = Packet({0x44, 0x48, 0x02, 0x08}, 328);
    ack[324] = 0x00;
    ack[325] = 0x80;
    EXPECT_EQ(CheckDhDatagram(ack).verdict, DhVerdict::SetAck);

    Bytes other = Packet({0x44, 0x48, 0x02, 0x08}, 328);
    other[326] = 0x80; // 0x00800000, not the acknowledgement
    EXPECT_EQ(CheckDhDatagram(other).verdict, DhVerdict::Drop);

    Bytes extra = ack;
    extra[327] = 0x01; // 0x01008000
    EXPECT_EQ(CheckDhDatagram(extra).verdict, DhVerdict::Drop);
}

// Each cut is its own heap buffer of exactly that length, so a read past it is a sanitizer error.
TEST(DhCodec, EveryTruncatedSearchReply) {
    Bytes full(324);
    full[0] = 0x44;
    full[1] = 0x48;
    full[2] = 0x01;
    full[3] = 0x08;
    for (std::size_t i = 4; i < full.size(); ++i)
        full[i] = static_cast<std::uint8_t>(i);
    for (std::size_t len = 0; len <= full.size(); ++len) {
        SCOPED_TRACE(len);
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
        const DhCheckResult r = CheckDhDatagram(cut);
        if (len < 4) {
            EXPECT_EQ(r.verdict, DhVerdict::Drop);
            continue;
        }
        ASSERT_EQ(r.verdict, DhVerdict::SearchReply);
        EXPECT_EQ(r.length, static_cast<std::int32_t>(len - 4));
        EXPECT_EQ(r.payload, cut.data() + 4);
        // Bytes of the code beyond the datagram count as zero.
        const std::uint32_t b4 = len > 4 ? full[4] : 0;
        const std::uint32_t b5 = len > 5 ? full[5] : 0;
        EXPECT_EQ(r.code, 0x0801u | (b4 << 16) | (b5 << 24));
    }
}

TEST(DhCodec, EveryTruncatedSetReply) {
    Bytes full = Packet({0x44, 0x48, 0x02, 0x08}, 328);
    full[325] = 0x80;
    for (std::size_t len = 0; len <= full.size(); ++len) {
        SCOPED_TRACE(len);
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
        // Status bytes past the end read as zero: once byte 325 (0x80) is there, the status is complete.
        EXPECT_EQ(CheckDhDatagram(cut).verdict, len >= 326 ? DhVerdict::SetAck : DhVerdict::Drop);
    }
}

} // namespace
