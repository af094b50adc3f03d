#include <arpa/inet.h>

#include <cstring>

#include <gtest/gtest.h>

#include "config/ApplySettings.h"
#include "config/IpMatch.h"

TEST(IpMatch, HostNumberOf) {
    struct Case {
        const char* ip;
        bool ok;
        int host;
    } cases[] = {
        {"192.168.1.13", true, 13}, {"10.0.0.255", true, 255}, {"1..2.3.4", true, 4},  {"1.2.3", false, 0},
        {"1.2.3.4.5", false, 0},    {"", false, 0},            {"1.2.3.300", false, 0}, {"1.2.3.-1", false, 0},
        {"1.2.3.x", true, 0},
    };
    for (const Case& c : cases) {
        int host = -7;
        EXPECT_EQ(HostNumberOf(c.ip, host), c.ok) << c.ip;
        if (c.ok) {
            EXPECT_EQ(host, c.host) << c.ip;
        }
    }
}

TEST(IpMatch, ChooseHostNumber) {
    TakenHostNumbers taken;
    EXPECT_EQ(ChooseHostNumber(taken), 10);
    taken.set(10).set(11).set(13);
    EXPECT_EQ(ChooseHostNumber(taken), 12);
    for (int h = 0; h < 256; ++h)
        taken.set(static_cast<std::size_t>(h));
    taken.reset(255).reset(5);
    EXPECT_EQ(ChooseHostNumber(taken), -1) << "0..9 and 255 are never given";
    taken.reset(254);
    EXPECT_EQ(ChooseHostNumber(taken), 254);
}

TEST(IpMatch, LocalNetworkOfTableRowOrFallback) {
    net::IpAddrTable table;
    table.table.push_back({inet_addr("127.0.0.1"), 1, inet_addr("255.0.0.0"), 0, 0, 0, 0});
    table.table.push_back({inet_addr("192.168.1.20"), 2, inet_addr("255.255.255.0"), 0, 0, 0, 0});
    table.dwNumEntries = 2;
    const LocalNetwork local = LocalNetworkOf(&table, 1);
    EXPECT_EQ(local.address, (std::array<std::uint8_t, 4>{192, 168, 1, 20}));
    EXPECT_EQ(local.netmask, (std::array<std::uint8_t, 4>{255, 255, 255, 0}));
    for (const LocalNetwork& fallback : {LocalNetworkOf(&table, 2), LocalNetworkOf(nullptr, 0)}) {
        EXPECT_EQ(fallback.address, (std::array<std::uint8_t, 4>{192, 168, 1, 1}));
        EXPECT_EQ(fallback.netmask, (std::array<std::uint8_t, 4>{255, 255, 255, 0}));
    }
}

TEST(IpMatch, RewriteTouchesOnlyTheMovedFields) {
    CameraInfo info;
    std::memset(&info, 0x5A, sizeof info); // every byte the camera sent, no NULs anywhere
    const CameraInfo before = info;
    RewriteForIpMatch(info, LocalNetwork{{192, 168, 1, 20}, {255, 255, 255, 0}}, 12);
    EXPECT_EQ(FieldText(info.szIp), "192.168.1.12");
    EXPECT_EQ(FieldText(info.szMask), "255.255.255.0");
    EXPECT_EQ(FieldText(info.szGateway), "192.168.1.1");
    EXPECT_EQ(FieldText(info.szUser), "admin");
    EXPECT_EQ(FieldText(info.szPassword), "");
    EXPECT_EQ(info.bDhcp, 0);
    // Fields cleared over their whole width before writing.
    EXPECT_EQ(info.szIp[15], 0);
    EXPECT_EQ(info.szPassword[31], 0);
    // Everything else as the camera reported it.
    EXPECT_EQ(0, std::memcmp(info.szExtraAddr, before.szExtraAddr, sizeof info.szExtraAddr));
    EXPECT_EQ(0, std::memcmp(info.szDns, before.szDns, sizeof info.szDns));
    EXPECT_EQ(0, std::memcmp(&info.abReserved1, &before.abReserved1, 8)); // reserved + port
    EXPECT_EQ(0, std::memcmp(info.szP2pId, before.szP2pId, 32 + 80 + 16 + 16));
    EXPECT_EQ(info.byReserved2, before.byReserved2);
    EXPECT_EQ(0, std::memcmp(info.abReserved3, before.abReserved3, sizeof info.abReserved3));
}

TEST(ApplySettings, CopiesTheEightEditedFieldsOnly) {
    CameraInfo item;
    std::memset(&item, 0x41, sizeof item);
    const CameraInfo before = item;
    CameraInfo record = ZeroCameraInfo();
    SetFieldText(record.szIp, "192.168.1.10");
    SetFieldText(record.szMask, "255.255.255.0");
    SetFieldText(record.szGateway, "192.168.1.1");
    SetFieldText(record.szDns, "192.168.1.2");
    SetFieldText(record.szUser, "operator");
    SetFieldText(record.szPassword, "secret");
    SetHttpPort(record, 4464);
    record.bDhcp = 1;
    std::memset(record.szName, 'x', 10); // not an edited field: must not travel

    ApplyEditedFields(item, record);
    EXPECT_EQ(FieldText(item.szIp), "192.168.1.10");
    EXPECT_EQ(FieldText(item.szDns), "192.168.1.2");
    EXPECT_EQ(FieldText(item.szUser), "operator");
    EXPECT_EQ(FieldText(item.szPassword), "secret");
    EXPECT_EQ(HttpPort(item), 4464);
    EXPECT_EQ(item.bDhcp, 1);
    EXPECT_EQ(item.szIp[15], 0) << "old bytes after the new text are cleared";
    EXPECT_EQ(0, std::memcmp(item.szExtraAddr, before.szExtraAddr, 16));
    EXPECT_EQ(0, std::memcmp(item.abReserved1, before.abReserved1, 6));
    EXPECT_EQ(0, std::memcmp(item.szP2pId, before.szP2pId, 32 + 80 + 16 + 16));
    EXPECT_EQ(0, std::memcmp(item.abReserved3, before.abReserved3, 22));
}
