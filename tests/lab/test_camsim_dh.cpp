// camsim in the lab, DH protocol: searches, set requests, moving the host, the log.
#include "test_camsim_fixture.h"

#include <map>

using namespace camsimtest;

TEST_F(CamsimTest, DhSearchIsAnsweredByBroadcastToTheSearchersPort) {
    // A camera outside the pc's subnet: only a broadcast answer can reach the searcher.
    Start({"--camera", "ip=192.168.7.20,mask=255.255.255.0,gw=192.168.7.1,dns=8.8.8.8,port=8080,p2p=ABC123,"
                       "name=Front door,sys=67.1.61.0,app=2.1.0.3"});
    const auto reply = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(reply.has_value());
    const Bytes& r = reply->bytes;
    ASSERT_EQ(r.size(), 324u);
    EXPECT_EQ(Slice(r, 0, 4), (Bytes{0x44, 0x48, 0x01, 0x08}));
    EXPECT_EQ(reply->to, kBroadcast);
    EXPECT_EQ(reply->from, "10.0.0.5"); // the host does not hold 192.168.7.20: its interface's address
    EXPECT_EQ(Text(r, 4 + 0, 16), "192.168.7.20");
    EXPECT_EQ(Text(r, 4 + 16, 16), "255.255.255.0");
    EXPECT_EQ(Text(r, 4 + 32, 16), "192.168.7.1");
    EXPECT_EQ(Text(r, 4 + 48, 16), "0.0.0.0");
    EXPECT_EQ(Text(r, 4 + 64, 16), "8.8.8.8");
    EXPECT_EQ(Slice(r, 4 + 86, 2), (Bytes{0x90, 0x1F})); // 8080, little-endian
    EXPECT_EQ(Text(r, 4 + 88, 32), "ABC123");
    EXPECT_EQ(Text(r, 4 + 120, 80), "Front door");
    EXPECT_EQ(Text(r, 4 + 200, 16), "67.1.61.0");
    EXPECT_EQ(Text(r, 4 + 216, 16), "2.1.0.3");
    EXPECT_EQ(Text(r, 4 + 232, 32), "admin");
    EXPECT_EQ(r[4 + 297], 0);

    const auto lines = Logged("cmd=0x0101");
    ASSERT_EQ(lines.size(), 1u);
    const std::string expected = " from=10.0.0.1:" + std::to_string(m_searcher.Port()) +
                                 " to=255.255.255.255:8600 if=tvl-eth0 len=4 proto=DH cmd=0x0101 act=search:1 hex=44480101";
    EXPECT_TRUE(lines[0].ends_with(expected)) << lines[0];
    EXPECT_EQ(lines[0].find('Z'), 26u) << "UTC time with microseconds first: " << lines[0];
}

TEST_F(CamsimTest, UnicastModeAnswersTheSenderFromTheCamerasAddress) {
    Start({"--reply", "unicast", "--camera", "ip=10.0.0.5,p2p=U1"});
    for (const char* to : {kBroadcast, "10.0.0.5"}) {
        const auto reply = Ask(DhSearch(), kDhPort, to);
        ASSERT_TRUE(reply.has_value()) << to;
        EXPECT_EQ(reply->to, "10.0.0.1") << to;
        EXPECT_EQ(reply->from, "10.0.0.5") << to;
        EXPECT_EQ(Text(reply->bytes, 4 + 88, 32), "U1");
    }
    EXPECT_EQ(Logged("to=10.0.0.5:8600").size(), 1u);
}

TEST_F(CamsimTest, DhSetIsAppliedAcknowledgedAndShownByTheNextSearch) {
    Start({"--camera", "ip=10.0.0.5,p2p=SET1,name=Hall,extra=172.16.0.9,res1=a1a2a3a4a5a6,res2=b1,res3=c0c1"});
    const auto first = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(first.has_value());
    Bytes record = Slice(first->bytes, 4, 320);
    SetText(record, 0, 16, "10.0.0.77");
    SetText(record, 16, 16, "255.255.0.0");
    SetText(record, 32, 16, "10.0.0.254");
    SetText(record, 64, 16, "10.0.0.3");
    record[86] = 0x51; // 81
    record[87] = 0x00;
    SetText(record, 232, 32, "root");
    SetText(record, 264, 32, "pw");
    record[297] = 1;
    SetText(record, 120, 80, "Tampered"); // a camera keeps its own name
    const Bytes set = DhSet(record);

    const auto ack = Ask(set, kDhPort);
    ASSERT_TRUE(ack.has_value());
    ASSERT_EQ(ack->bytes.size(), 328u);
    EXPECT_EQ(Slice(ack->bytes, 0, 4), (Bytes{0x44, 0x48, 0x02, 0x08}));
    EXPECT_EQ(Slice(ack->bytes, 324, 4), (Bytes{0x00, 0x80, 0x00, 0x00}));
    EXPECT_EQ(ack->to, kBroadcast);
    EXPECT_EQ(Text(ack->bytes, 4, 16), "10.0.0.77");

    const auto next = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(next.has_value());
    const Bytes& r = next->bytes;
    EXPECT_EQ(Text(r, 4 + 0, 16), "10.0.0.77");
    EXPECT_EQ(Text(r, 4 + 16, 16), "255.255.0.0");
    EXPECT_EQ(Text(r, 4 + 32, 16), "10.0.0.254");
    EXPECT_EQ(Text(r, 4 + 64, 16), "10.0.0.3");
    EXPECT_EQ(Slice(r, 4 + 86, 2), (Bytes{0x51, 0x00}));
    EXPECT_EQ(Text(r, 4 + 232, 32), "root");
    EXPECT_EQ(Text(r, 4 + 264, 32), "pw");
    EXPECT_EQ(r[4 + 297], 1);
    EXPECT_EQ(Text(r, 4 + 120, 80), "Hall");
    EXPECT_EQ(Text(r, 4 + 48, 16), "172.16.0.9");
    EXPECT_EQ(Slice(r, 4 + 80, 6), (Bytes{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6}));
    EXPECT_EQ(Slice(r, 4 + 296, 1), (Bytes{0xB1}));
    EXPECT_EQ(Slice(r, 4 + 298, 3), (Bytes{0xC0, 0xC1, 0x00}));

    // The log holds the request exactly as it was sent.
    const auto lines = Logged("cmd=0x0102");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].ends_with(" len=324 proto=DH cmd=0x0102 act=set:cam1 hex=" + Hex(set))) << lines[0];
}

TEST_F(CamsimTest, DhSetFindsItsCameraAmongSeveral) {
    Start({"--camera", "ip=10.0.0.5,p2p=A", "--camera", "ip=10.0.0.6,p2p=B", "--camera", "ip=10.0.0.7,p2p=C"});
    m_searcher.Send(kBroadcast, kDhPort, DhSearch());
    std::map<std::string, Bytes> records;
    for (const auto& d : m_searcher.ReceiveMany(3, kWait, kWait))
        records[Text(d.bytes, 4 + 88, 32)] = Slice(d.bytes, 4, 320);
    ASSERT_EQ(records.size(), 3u);

    // By P2P identifier.
    Bytes b = records["B"];
    SetText(b, 0, 16, "10.0.0.66");
    auto ack = Ask(DhSet(b), kDhPort);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(Text(ack->bytes, 4 + 88, 32), "B");
    // Without an identifier, by the address the request keeps.
    Bytes c = records["C"];
    SetText(c, 88, 32, "");
    c[86] = 90;
    ack = Ask(DhSet(c), kDhPort);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(Text(ack->bytes, 4 + 88, 32), "C");
    // Neither: nobody answers.
    Bytes stranger = records["A"];
    SetText(stranger, 88, 32, "Z");
    SetText(stranger, 0, 16, "10.0.0.99");
    m_searcher.Send(kBroadcast, kDhPort, DhSet(stranger));
    EXPECT_FALSE(m_searcher.Receive(kSilence).has_value());
    EXPECT_EQ(Logged("act=set-unmatched").size(), 1u);

    m_searcher.Send(kBroadcast, kDhPort, DhSearch());
    std::map<std::string, std::pair<std::string, int>> seen; // p2p -> address, port
    for (const auto& d : m_searcher.ReceiveMany(3, kWait, kWait))
        seen[Text(d.bytes, 4 + 88, 32)] = {Text(d.bytes, 4, 16), d.bytes[4 + 86] | (d.bytes[4 + 87] << 8)};
    const std::map<std::string, std::pair<std::string, int>> expected{
        {"A", {"10.0.0.5", 80}}, {"B", {"10.0.0.66", 80}}, {"C", {"10.0.0.7", 90}}};
    EXPECT_EQ(seen, expected);
}

TEST_F(CamsimTest, DhSetWithoutAUsableAddressIsRefused) {
    Start({"--camera", "ip=10.0.0.5,p2p=R1"});
    const auto first = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(first.has_value());
    Bytes record = Slice(first->bytes, 4, 320);
    SetText(record, 0, 16, "0.0.0.0");
    const auto answer = Ask(DhSet(record), kDhPort);
    ASSERT_TRUE(answer.has_value());
    ASSERT_EQ(answer->bytes.size(), 328u);
    EXPECT_EQ(Slice(answer->bytes, 324, 4), (Bytes{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Logged("act=set-refused:cam1:address-zero").size(), 1u);
    const auto next = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(Text(next->bytes, 4, 16), "10.0.0.5");
}

TEST_F(CamsimTest, MoveHostTakesTheHostToTheNewAddress) {
    Start({"--move-host", "tvl-eth0", "--camera", "ip=10.0.0.5,p2p=MOVE1"});
    const auto first = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(first.has_value());
    Bytes record = Slice(first->bytes, 4, 320);

    SetText(record, 0, 16, "10.0.0.77");
    ASSERT_TRUE(Ask(DhSet(record), kDhPort).has_value());
    EXPECT_EQ(Logged("act=set:cam1,moved").size(), 1u);
    EXPECT_EQ(m_lab.Addresses(m_cam, "tvl-eth0"), std::vector<std::string>{"10.0.0.77/24"});
    // Reachable by unicast at the new address, and answering from it.
    auto reply = Ask(DhSearch(), kDhPort, "10.0.0.77");
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->from, "10.0.0.77");
    EXPECT_EQ(Text(reply->bytes, 4, 16), "10.0.0.77");

    // Set requests keep working after a move, also out of the pc's subnet and with another mask.
    SetText(record, 0, 16, "192.168.3.4");
    SetText(record, 16, 16, "255.255.0.0");
    const auto ack = Ask(DhSet(record), kDhPort);
    ASSERT_TRUE(ack.has_value());
    EXPECT_EQ(Slice(ack->bytes, 324, 4), (Bytes{0x00, 0x80, 0x00, 0x00}));
    EXPECT_EQ(Logged("act=set:cam1,moved", 2).size(), 2u);
    EXPECT_EQ(m_lab.Addresses(m_cam, "tvl-eth0"), std::vector<std::string>{"192.168.3.4/16"});
    reply = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->from, "192.168.3.4");
    EXPECT_EQ(reply->to, kBroadcast);
}
