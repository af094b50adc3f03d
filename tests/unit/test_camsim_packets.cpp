// camsim's packets, checked against byte tables written out here rather than against camsim's own
// layout constants, so a wrong offset in camsim cannot agree with itself.
#include "tools/camsim/DhCodec.h"
#include "tools/camsim/DottedQuad.h"
#include "tools/camsim/MoiCodec.h"
#include "tools/camsim/NetworkChange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using camsim::DhCodec;
using camsim::MoiCodec;
using camsim::SimCamera;
using Bytes = std::vector<std::uint8_t>;

namespace {

void Put(Bytes& b, std::size_t offset, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        b[offset + i] = static_cast<std::uint8_t>(text[i]);
}

SimCamera FullCamera() {
    SimCamera c;
    c.dh = true;
    c.moi = true;
    c.ip = "192.168.1.10";
    c.mask = "255.255.255.0";
    c.gateway = "192.168.1.1";
    c.extra = "172.16.0.9";
    c.dns = "192.168.1.2";
    c.port = 8080;
    c.p2p = "ABC123";
    c.name = "Front door \xe5\x89\x8d\xe9\x97\xa8"; // UTF-8
    c.sysVersion = "67.1.200.0";
    c.appVersion = "2.1.0.3";
    c.user = "admin";
    c.password = "secret";
    c.dhcp = 1;
    c.reserved1 = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6};
    c.reserved2 = 0xB1;
    for (std::size_t i = 0; i < c.reserved3.size(); ++i)
        c.reserved3[i] = static_cast<std::uint8_t>(0xC0 + i);
    return c;
}

// The 320-byte record of FullCamera, laid out by hand from the field table.
Bytes FullRecord() {
    Bytes r(320, 0);
    Put(r, 0, "192.168.1.10");
    Put(r, 16, "255.255.255.0");
    Put(r, 32, "192.168.1.1");
    Put(r, 48, "172.16.0.9");
    Put(r, 64, "192.168.1.2");
    for (std::size_t i = 0; i < 6; ++i)
        r[80 + i] = static_cast<std::uint8_t>(0xA1 + i);
    r[86] = 0x90; // 8080, little-endian
    r[87] = 0x1F;
    Put(r, 88, "ABC123");
    Put(r, 120, "Front door \xe5\x89\x8d\xe9\x97\xa8");
    Put(r, 200, "67.1.200.0");
    Put(r, 216, "2.1.0.3");
    Put(r, 232, "admin");
    Put(r, 264, "secret");
    r[296] = 0xB1;
    r[297] = 1;
    for (std::size_t i = 0; i < 22; ++i)
        r[298 + i] = static_cast<std::uint8_t>(0xC0 + i);
    return r;
}

Bytes Concat(Bytes head, const Bytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

} // namespace

TEST(CamsimDh, SearchReplyIsHeaderAndTheRecordByteForByte) {
    EXPECT_EQ(DhCodec::SearchReply(FullCamera()), Concat({0x44, 0x48, 0x01, 0x08}, FullRecord()));
}

TEST(CamsimDh, SetReplyEndsWithItsStatusLittleEndian) {
    const Bytes accepted = DhCodec::SetReply(FullCamera(), DhCodec::kSetAccepted);
    EXPECT_EQ(accepted, Concat(Concat({0x44, 0x48, 0x02, 0x08}, FullRecord()), {0x00, 0x80, 0x00, 0x00}));
    const Bytes refused = DhCodec::SetReply(FullCamera(), DhCodec::kSetRefused);
    ASSERT_EQ(refused.size(), 328u);
    EXPECT_EQ(Bytes(refused.begin() + 324, refused.end()), (Bytes{0x00, 0x00, 0x00, 0x00}));
}

TEST(CamsimDh, PortAndFullWidthTexts) {
    struct Case {
        std::uint16_t port;
        std::uint8_t lo, hi;
    };
    for (const Case& c : {Case{80, 0x50, 0x00}, Case{8080, 0x90, 0x1F}, Case{65535, 0xFF, 0xFF}, Case{0, 0, 0}}) {
        SimCamera camera = FullCamera();
        camera.port = c.port;
        const Bytes reply = DhCodec::SearchReply(camera);
        EXPECT_EQ(reply[4 + 86], c.lo) << c.port;
        EXPECT_EQ(reply[4 + 87], c.hi) << c.port;
    }
    // A text that fills its field has no terminator and stops at the field's end.
    SimCamera camera = FullCamera();
    camera.p2p = std::string(32, 'P');
    camera.name = std::string(80, 'N');
    const Bytes reply = DhCodec::SearchReply(camera);
    EXPECT_EQ(std::string(reply.begin() + 4 + 88, reply.begin() + 4 + 120), std::string(32, 'P'));
    EXPECT_EQ(std::string(reply.begin() + 4 + 120, reply.begin() + 4 + 200), std::string(80, 'N'));
    EXPECT_EQ(reply[4 + 200], '6'); // the system version starts right after
}

TEST(CamsimDh, ClassifiesExactlyTheRequestsItAnswers) {
    const Bytes set = Concat({0x44, 0x48, 0x02, 0x01}, FullRecord());
    struct Case {
        const char* what;
        Bytes datagram;
        DhCodec::Kind kind;
        const char* problem;
    };
    const std::vector<Case> cases{
        {"search", {0x44, 0x48, 0x01, 0x01}, DhCodec::Kind::Search, ""},
        {"search with a trailing byte", {0x44, 0x48, 0x01, 0x01, 0x00}, DhCodec::Kind::Other, "search-length"},
        {"swapped magic", {0x48, 0x44, 0x01, 0x01}, DhCodec::Kind::Other, "magic"},
        {"three bytes", {0x44, 0x48, 0x01}, DhCodec::Kind::Other, "short"},
        {"empty", {}, DhCodec::Kind::Other, "short"},
        {"set", set, DhCodec::Kind::Set, ""},
        {"set one byte short", Bytes(set.begin(), set.end() - 1), DhCodec::Kind::Other, "set-length"},
        {"set one byte long", Concat(set, {0}), DhCodec::Kind::Other, "set-length"},
        {"search reply", Concat({0x44, 0x48, 0x01, 0x08}, FullRecord()), DhCodec::Kind::Other, "reply"},
        {"set reply", {0x44, 0x48, 0x02, 0x08}, DhCodec::Kind::Other, "reply"},
        {"command read big-endian", {0x44, 0x48, 0x01, 0x02}, DhCodec::Kind::Other, "command"},
    };
    for (const Case& c : cases) {
        const DhCodec::Request r = DhCodec::Classify(c.datagram);
        EXPECT_EQ(r.kind, c.kind) << c.what;
        EXPECT_EQ(r.problem, c.problem) << c.what;
    }
}

TEST(CamsimDh, SetRequestReadsTheEditableFields) {
    Bytes record = FullRecord();
    std::fill(record.begin(), record.begin() + 16, 0);
    Put(record, 0, "10.0.0.77");
    Put(record, 232, std::string(32, 'u')); // full width: no terminator, ends at the field
    record[86] = 0x51;                      // 81
    record[87] = 0x00;
    record[297] = 0;
    const camsim::NetworkChange change = DhCodec::SetChange(Concat({0x44, 0x48, 0x02, 0x01}, record));
    EXPECT_TRUE(change.dh);
    EXPECT_EQ(change.p2p, "ABC123");
    EXPECT_EQ(change.ip, "10.0.0.77");
    EXPECT_EQ(change.mask, "255.255.255.0");
    EXPECT_EQ(change.gateway, "192.168.1.1");
    EXPECT_EQ(change.dns, "192.168.1.2");
    EXPECT_EQ(change.port, 81);
    EXPECT_EQ(change.user, std::string(32, 'u'));
    EXPECT_EQ(change.password, "secret");
    EXPECT_EQ(change.dhcp, std::optional<std::uint8_t>(0));
}

namespace {

// The 88-byte MO_I reply of FullCamera, laid out by hand.
Bytes FullMoiReply() {
    Bytes b(88, 0);
    Put(b, 0, "MO_I");
    b[4] = 0x01; // command 1
    b[15] = 65;  // length 65, little-endian
    const std::size_t p = 23;
    Put(b, p + 0, "ABC123");
    Put(b, p + 13, "Front door \xe5\x89\x8d\xe9\x97\xa8");
    const Bytes addresses{192, 168, 1, 10, 255, 255, 255, 0, 192, 168, 1, 1, 192, 168, 1, 2};
    std::copy(addresses.begin(), addresses.end(), b.begin() + p + 34);
    const Bytes versions{67, 1, 200, 0, 2, 1, 0, 3};
    std::copy(versions.begin(), versions.end(), b.begin() + p + 54);
    b[p + 62] = 0x1F; // 8080, big-endian
    b[p + 63] = 0x90;
    return b;
}

Bytes MoiSearch() {
    Bytes b(27, 0);
    Put(b, 0, "MO_I");
    b[15] = 4;
    b[26] = 1;
    return b;
}

Bytes MoiSet(const std::string& p2p, const std::string& user, const std::string& password, const Bytes& quads,
             std::uint8_t portHi, std::uint8_t portLo) {
    Bytes b(84, 0);
    Put(b, 0, "MO_I");
    b[4] = 2;
    b[15] = 61;
    const std::size_t p = 23;
    Put(b, p + 4, p2p.substr(0, 13));
    Put(b, p + 17, user.substr(0, 13));
    Put(b, p + 30, password.substr(0, 13));
    std::copy(quads.begin(), quads.end(), b.begin() + p + 43);
    b[p + 59] = portHi;
    b[p + 60] = portLo;
    return b;
}

} // namespace

TEST(CamsimMoi, SearchReplyByteForByte) { EXPECT_EQ(MoiCodec::SearchReply(FullCamera()), FullMoiReply()); }

TEST(CamsimMoi, SearchReplyCutsLongTextsAndZeroesWhatIsNoQuad) {
    SimCamera camera = FullCamera();
    camera.p2p = "ABCDEFGHIJKLMNOP";        // 16 bytes: 13 travel, without terminator
    camera.name = "123456789012345678901xyz"; // 24 bytes: 21 travel
    camera.sysVersion = "V2.800";            // no four numbers: zeros
    const Bytes reply = MoiCodec::SearchReply(camera);
    ASSERT_EQ(reply.size(), 88u);
    EXPECT_EQ(std::string(reply.begin() + 23, reply.begin() + 36), "ABCDEFGHIJKLM");
    EXPECT_EQ(std::string(reply.begin() + 36, reply.begin() + 57), "123456789012345678901");
    EXPECT_EQ(reply[23 + 34], 192); // the address right after the name
    EXPECT_EQ(Bytes(reply.begin() + 23 + 54, reply.begin() + 23 + 58), (Bytes{0, 0, 0, 0}));
}

TEST(CamsimMoi, ClassifiesExactlyTheRequestsItAnswers) {
    struct Case {
        std::string what;
        Bytes datagram;
        MoiCodec::Kind kind;
        std::string problem;
    };
    std::vector<Case> cases;
    const Bytes search = MoiSearch();
    cases.push_back({"search", search, MoiCodec::Kind::Search, ""});
    for (std::size_t n = 0; n < search.size(); ++n)
        cases.push_back({"search cut to " + std::to_string(n), Bytes(search.begin(), search.begin() + static_cast<long>(n)),
                         MoiCodec::Kind::Other, n < 23 ? "short" : "search-length"});
    cases.push_back({"search with a trailing byte", Concat(search, {0}), MoiCodec::Kind::Other, "search-length"});
    Bytes b = search;
    b[15] = 5;
    cases.push_back({"length field 5", b, MoiCodec::Kind::Other, "search-length"});
    b = search;
    b[26] = 2;
    cases.push_back({"payload 00 00 00 02", b, MoiCodec::Kind::Other, "search-payload"});
    b = search;
    b[10] = 1;
    cases.push_back({"reserved byte set", b, MoiCodec::Kind::Other, "reserved"});
    b = search;
    b[3] = 'i';
    cases.push_back({"magic MO_i", b, MoiCodec::Kind::Other, "magic"});
    b = search;
    b[4] = 3;
    cases.push_back({"command 3", b, MoiCodec::Kind::Other, "command"});
    b = search;
    b[5] = 1; // command 0x0100: the command is little-endian
    cases.push_back({"command 256", b, MoiCodec::Kind::Other, "command"});
    cases.push_back({"reply", FullMoiReply(), MoiCodec::Kind::Other, "reply"});
    const Bytes set = MoiSet("ABC123", "admin", "", {10, 0, 0, 7, 255, 255, 255, 0, 10, 0, 0, 1, 10, 0, 0, 2}, 0, 80);
    cases.push_back({"set", set, MoiCodec::Kind::SetNetwork, ""});
    cases.push_back({"set one byte short", Bytes(set.begin(), set.end() - 1), MoiCodec::Kind::Other, "set-length"});
    b = set;
    b[23] = 1;
    cases.push_back({"set with reserved payload bytes", b, MoiCodec::Kind::Other, "set-reserved"});

    for (const Case& c : cases) {
        const MoiCodec::Request r = MoiCodec::Classify(c.datagram);
        EXPECT_EQ(r.kind, c.kind) << c.what;
        EXPECT_EQ(r.problem, c.problem) << c.what;
    }
}

TEST(CamsimMoi, SetNetworkRequestReadsItsFields) {
    const Bytes set = MoiSet("ABCDEFGHIJKLMNOP", "a-user-of-twenty-chr", "pw",
                             {0xC0, 0xA8, 0x01, 0x0A, 0xFF, 0xFF, 0xFF, 0x00, 0xC0, 0xA8, 0x01, 0x01, 0xC0, 0xA8,
                              0x01, 0x02},
                             0x1F, 0x90);
    const camsim::NetworkChange change = MoiCodec::SetChange(set);
    EXPECT_FALSE(change.dh);
    EXPECT_EQ(change.p2p, "ABCDEFGHIJKLM"); // 13 bytes, no terminator
    EXPECT_EQ(change.p2pWidth, 13u);
    EXPECT_EQ(change.user, "a-user-of-twe");
    EXPECT_EQ(change.password, "pw");
    EXPECT_EQ(change.ip, "192.168.1.10");
    EXPECT_EQ(change.mask, "255.255.255.0");
    EXPECT_EQ(change.gateway, "192.168.1.1");
    EXPECT_EQ(change.dns, "192.168.1.2");
    EXPECT_EQ(change.port, 8080);
    EXPECT_FALSE(change.dhcp.has_value());
}

TEST(CamsimSet, TargetIsChosenByIdentifierThenByAddress) {
    auto camera = [](bool dh, bool moi, const char* p2p, const char* ip) {
        SimCamera c;
        c.dh = dh;
        c.moi = moi;
        c.p2p = p2p;
        c.ip = ip;
        return c;
    };
    const std::vector<SimCamera> cameras{camera(true, false, "DHONLY", "10.0.0.5"),
                                         camera(false, true, "MOI-LONG-IDENTIFIER", "10.0.0.6"),
                                         camera(true, true, "BOTH", "10.0.0.7"), camera(true, false, "", "10.0.0.8")};
    struct Case {
        const char* what;
        bool dh;
        std::string p2p;
        std::size_t width;
        std::string ip;
        std::optional<std::size_t> target;
    };
    const std::vector<Case> cases{
        {"DH by identifier", true, "DHONLY", 32, "1.2.3.4", 0},
        {"DH identifier wins over address", true, "BOTH", 32, "10.0.0.5", 2},
        {"DH by address when no identifier matches", true, "GONE", 32, "10.0.0.8", 3},
        {"DH empty identifier, by address", true, "", 32, "10.0.0.5", 0},
        {"DH never reaches an MO_I-only camera", true, "MOI-LONG-IDENTIFIER", 32, "10.0.0.6", std::nullopt},
        {"MO_I by the first 13 bytes", false, "MOI-LONG-IDEN", 13, "1.2.3.4", 1},
        {"MO_I needs the identifier", false, "GONE", 13, "10.0.0.6", std::nullopt},
        {"MO_I never reaches a DH-only camera", false, "DHONLY", 13, "10.0.0.5", std::nullopt},
        {"MO_I reaches a camera of both", false, "BOTH", 13, "1.2.3.4", 2},
    };
    for (const Case& c : cases) {
        camsim::NetworkChange change;
        change.dh = c.dh;
        change.p2p = c.p2p;
        change.p2pWidth = c.width;
        change.ip = c.ip;
        EXPECT_EQ(change.Target(cameras), c.target) << c.what;
    }
}

TEST(CamsimSet, RefusesWhatNoCameraWouldTake) {
    struct Case {
        std::string ip, mask, gateway, dns;
        std::string problem;
    };
    const std::vector<Case> cases{
        {"10.0.0.7", "255.255.255.0", "10.0.0.1", "10.0.0.2", ""},
        {"10.0.0.7", "255.255.255.0", "", "", ""},
        {"0.0.0.0", "255.255.255.0", "", "", "address-zero"},
        {"10.0.0", "255.255.255.0", "", "", "address"},
        {"", "255.255.255.0", "", "", "address"},
        {"10.0.0.7", "255.0.255.0", "", "", "mask"},
        {"10.0.0.7", "0.0.0.0", "", "", "mask"},
        {"10.0.0.7", "255.255.255.255", "", "", ""},
        {"10.0.0.7", "255.255.255.0", "gw", "", "gateway"},
        {"10.0.0.7", "255.255.255.0", "", "10.0.0.256", "dns"},
    };
    for (const Case& c : cases) {
        camsim::NetworkChange change;
        change.ip = c.ip;
        change.mask = c.mask;
        change.gateway = c.gateway;
        change.dns = c.dns;
        EXPECT_EQ(change.Problem(), c.problem) << c.ip << " " << c.mask << " " << c.gateway << " " << c.dns;
    }
}

TEST(CamsimSet, ApplyKeepsTheCamerasIdentity) {
    SimCamera camera = FullCamera();
    camsim::NetworkChange change;
    change.ip = "10.0.0.7";
    change.mask = "255.255.0.0";
    change.gateway = "10.0.0.1";
    change.dns = "10.0.0.2";
    change.port = 81;
    change.user = "root";
    change.password = "";
    change.dhcp = std::nullopt; // MO_I carries no DHCP flag
    change.ApplyTo(camera);
    SimCamera expected = FullCamera();
    expected.ip = "10.0.0.7";
    expected.mask = "255.255.0.0";
    expected.gateway = "10.0.0.1";
    expected.dns = "10.0.0.2";
    expected.port = 81;
    expected.user = "root";
    expected.password = "";
    EXPECT_EQ(DhCodec::SearchReply(camera), DhCodec::SearchReply(expected));
}

TEST(CamsimDottedQuad, ParsesStrictlyAndKnowsNetmasks) {
    using camsim::DottedQuad;
    struct Case {
        const char* text;
        bool ok;
    };
    for (const Case& c : {Case{"0.0.0.0", true}, Case{"255.255.255.255", true}, Case{"010.1.1.1", true},
                          Case{"256.1.1.1", false}, Case{"1.2.3", false}, Case{"1.2.3.4.5", false},
                          Case{"1.2.3.", false}, Case{" 1.2.3.4", false}, Case{"1.2.3.4 ", false},
                          Case{"1..2.3", false}, Case{"1.2.3.1000", false}, Case{"-1.2.3.4", false}, Case{"", false}})
        EXPECT_EQ(DottedQuad::Parse(c.text).has_value(), c.ok) << c.text;
    EXPECT_EQ(DottedQuad::Format(*DottedQuad::Parse("192.168.200.7")), "192.168.200.7");

    struct Mask {
        DottedQuad::Bytes mask;
        std::optional<int> prefix;
    };
    for (const Mask& m : {Mask{{255, 255, 255, 0}, 24}, Mask{{255, 255, 255, 255}, 32}, Mask{{0, 0, 0, 0}, 0},
                          Mask{{255, 255, 254, 0}, 23}, Mask{{128, 0, 0, 0}, 1}, Mask{{255, 0, 255, 0}, std::nullopt},
                          Mask{{0, 255, 255, 255}, std::nullopt}, Mask{{255, 255, 255, 1}, std::nullopt}})
        EXPECT_EQ(DottedQuad::PrefixLength(m.mask), m.prefix) << DottedQuad::Format(m.mask);
}
