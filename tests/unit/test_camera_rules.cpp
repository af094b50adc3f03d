#include <arpa/inet.h>

#include <cstring>

#include <gtest/gtest.h>

#include "cameras/CameraRules.h"

namespace {

CameraInfo Camera(const char* ip, const char* mask) {
    CameraInfo info = ZeroCameraInfo();
    SetFieldText(info.szIp, ip);
    SetFieldText(info.szMask, mask);
    return info;
}

net::IpAddrRow Row(const char* addr, const char* mask) {
    net::IpAddrRow row{};
    row.dwAddr = inet_addr(addr);
    row.dwMask = inet_addr(mask);
    return row;
}

net::IpAddrTable Table(std::initializer_list<net::IpAddrRow> rows) {
    net::IpAddrTable t;
    t.table = rows;
    t.dwNumEntries = static_cast<std::uint32_t>(t.table.size());
    return t;
}

} // namespace

TEST(CameraRules, ModelLabel) {
    struct Case {
        const char* version;
        int dh;
        const char* label;
    } cases[] = {
        {"67.1.61.0", 1, "H"},  {"67.1.60.0", 1, "J"}, {"66.1.99.0", 1, "J"}, {"67.1.100.2", 1, "H"},
        {"67.1.61.0", 0, "AJ"}, {"", 0, "AJ"},         {"", 1, "J"},          {"67", 1, "J"},
        {"67.1", 1, "J"},       {"67.1.61", 1, "H"},   {" 67.1.61.9", 1, "H"}, {"x67.1.61.0", 1, "J"},
        {"67.1.-5.0", 1, "J"},  {"99999999999999999999.1.61.0", 1, "J"},
    };
    for (const Case& c : cases) {
        CameraInfo info = ZeroCameraInfo();
        SetFieldText(info.szSysVersion, c.version);
        EXPECT_STREQ(ModelLabel(info, c.dh), c.label) << c.version << " dh=" << c.dh;
    }
}

TEST(CameraRules, ModelLabelReadsNoFurtherThanTheField) {
    CameraInfo info = ZeroCameraInfo();
    std::memset(info.szSysVersion, '6', sizeof info.szSysVersion); // no NUL in the field
    std::memset(info.szAppVersion, '7', sizeof info.szAppVersion);
    EXPECT_STREQ(ModelLabel(info, 1), "J");
}

TEST(CameraRules, SubnetMatch) {
    const net::IpAddrTable host = Table({Row("127.0.0.1", "255.0.0.0"), Row("10.0.0.1", "255.255.255.0")});
    struct Case {
        const char* ip;
        const char* mask;
        int match;
    } cases[] = {
        {"10.0.0.5", "255.255.255.0", 1},
        {"10.0.0.5", "255.255.0.0", 0}, // no interface has that mask
        {"10.0.1.5", "255.255.255.0", 0},
        {"127.0.0.2", "255.0.0.0", 1}, // loopback counts like any row
        {"garbage", "255.255.255.0", 0},
        {"", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SubnetMatch(Camera(c.ip, c.mask), &host), c.match) << c.ip << "/" << c.mask;

    const net::IpAddrTable empty;
    EXPECT_EQ(SubnetMatch(Camera("10.0.0.5", "255.255.255.0"), &empty), 0);
    EXPECT_EQ(SubnetMatch(Camera("10.0.0.5", "255.255.255.0"), nullptr), 1) << "unreadable table: in subnet";
}

TEST(CameraRules, NameColumnText) {
    struct Case {
        std::string utf8;
        std::string local; // GB18030
    } cases[] = {
        {"Front door", "Front door"},
        {"", ""},
        {"\xE5\x89\x8D\xE9\x97\xA8", "\xC7\xB0\xC3\xC5"},                  // Chinese: GB18030 two-byte codes
        {"Kamera \xC5\xBC\xC3\xB3\xC5\x82w", "Kamera \x81\x30\x97\x34\xA8\xAE\x81\x30\x92\x30w"}, // Polish letters: four-byte codes
        {"?Name", "Name"},                                                 // one leading '?' goes
        {"??Name", "?Name"},
        {"a\xFF" "b", "a\x84\x31\xA4\x37" "b"},                           // invalid byte: U+FFFD, rest kept
    };
    for (const Case& c : cases) {
        CameraInfo info = ZeroCameraInfo();
        SetFieldText(info.szName, c.utf8);
        EXPECT_EQ(NameColumnText(info), c.local) << c.utf8;
    }
}

TEST(CameraRules, NameWithoutNulIsCutAtItsWidth) {
    CameraInfo info = ZeroCameraInfo();
    std::memset(info.szName, 'n', sizeof info.szName);
    std::memset(info.szSysVersion, 'v', sizeof info.szSysVersion);
    EXPECT_EQ(NameColumnText(info), std::string(80, 'n'));
}

TEST(CameraRules, AddressColumnShowsThePortUnsigned) {
    CameraInfo info = Camera("10.0.0.5", "255.255.255.0");
    SetHttpPort(info, 65535);
    EXPECT_EQ(AddressColumnText(info), "10.0.0.5:65535");
    SetHttpPort(info, 8080);
    EXPECT_EQ(AddressColumnText(info), "10.0.0.5:8080");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
    EXPECT_EQ(bytes[86], 0x90);
    EXPECT_EQ(bytes[87], 0x1F);
}
