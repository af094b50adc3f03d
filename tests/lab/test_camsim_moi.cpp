// camsim in the lab, MO_I protocol, and cameras that speak both protocols.
#include "test_camsim_fixture.h"

using namespace camsimtest;

TEST_F(CamsimTest, MoiSearchIsAnsweredWithTheFixedPayload) {
    Start({"--camera", "proto=moi,ip=192.168.1.10,mask=255.255.255.0,gw=192.168.1.1,dns=192.168.1.2,port=8080,"
                       "p2p=ABCDEFGHIJKLMNOP,name=123456789012345678901xyz,sys=67.1.200.0,app=2.1.0.3"});
    const auto reply = Ask(MoiSearch(), kMoiPort);
    ASSERT_TRUE(reply.has_value());
    const Bytes& r = reply->bytes;
    ASSERT_EQ(r.size(), 88u);
    EXPECT_EQ(reply->to, kBroadcast);
    EXPECT_EQ(Slice(r, 0, 6), (Bytes{'M', 'O', '_', 'I', 0x01, 0x00}));
    EXPECT_EQ(Slice(r, 15, 4), (Bytes{65, 0, 0, 0}));
    const std::size_t p = 23;
    EXPECT_EQ(std::string(r.begin() + p, r.begin() + p + 13), "ABCDEFGHIJKLM");
    EXPECT_EQ(std::string(r.begin() + p + 13, r.begin() + p + 34), "123456789012345678901");
    EXPECT_EQ(Slice(r, p + 34, 16), (Bytes{192, 168, 1, 10, 255, 255, 255, 0, 192, 168, 1, 1, 192, 168, 1, 2}));
    EXPECT_EQ(Slice(r, p + 50, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Slice(r, p + 54, 8), (Bytes{67, 1, 200, 0, 2, 1, 0, 3}));
    EXPECT_EQ(Slice(r, p + 62, 3), (Bytes{0x1F, 0x90, 0x00})); // 8080, big-endian

    const auto lines = Logged("proto=MO_I");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].ends_with(" to=255.255.255.255:10000 if=tvl-eth0 len=27 proto=MO_I cmd=0x0000 act=search:1 hex=" +
                                   Hex(MoiSearch())))
        << lines[0];

    // An MO_I camera does not answer on the DH port.
    m_searcher.Send(kBroadcast, kDhPort, DhSearch());
    EXPECT_FALSE(m_searcher.Receive(kSilence).has_value());
}

TEST_F(CamsimTest, MoiUnicastMode) {
    Start({"--reply", "unicast", "--camera", "proto=moi,ip=10.0.0.5"});
    const auto reply = Ask(MoiSearch(), kMoiPort);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->to, "10.0.0.1");
    EXPECT_EQ(reply->fromPort, kMoiPort);
}

TEST_F(CamsimTest, MoiSetNetworkIsAppliedWithoutAnAnswer) {
    Start({"--move-host", "tvl-eth0", "--camera", "proto=moi,ip=10.0.0.5,p2p=LONGIDENTIFIER99", "--camera",
           "proto=moi,ip=10.0.0.6,p2p=OTHER"});
    const Bytes quads{10, 0, 0, 88, 255, 255, 255, 0, 10, 0, 0, 1, 10, 0, 0, 2};
    const Bytes set = MoiSet("LONGIDENTIFIER99", "admin", "", quads, 8080); // identifier cut to 13 bytes
    m_searcher.Send(kBroadcast, kMoiPort, set);
    EXPECT_FALSE(m_searcher.Receive(kSilence).has_value()) << "MO_I set-network requests are not answered";
    const auto lines = Logged("act=set:cam1,moved");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].ends_with(" len=84 proto=MO_I cmd=0x0002 act=set:cam1,moved hex=" + Hex(set))) << lines[0];
    EXPECT_EQ(m_lab.Addresses(m_cam, "tvl-eth0"), std::vector<std::string>{"10.0.0.88/24"});

    // An identifier no camera has changes nothing.
    m_searcher.Send(kBroadcast, kMoiPort, MoiSet("NOBODY", "admin", "", quads, 81));
    EXPECT_EQ(Logged("act=set-unmatched").size(), 1u);

    m_searcher.Send(kBroadcast, kMoiPort, MoiSearch());
    const auto replies = m_searcher.ReceiveMany(2, kWait, kWait);
    ASSERT_EQ(replies.size(), 2u);
    for (const auto& d : replies) {
        const bool first = Text(d.bytes, 23, 13) == "LONGIDENTIFIE";
        EXPECT_EQ(Slice(d.bytes, 23 + 34, 4), first ? (Bytes{10, 0, 0, 88}) : (Bytes{10, 0, 0, 6}));
        EXPECT_EQ(Slice(d.bytes, 23 + 62, 2), first ? (Bytes{0x1F, 0x90}) : (Bytes{0x00, 0x50}));
    }
}

TEST_F(CamsimTest, CameraOfBothProtocolsIsOneCamera) {
    Start({"--camera", "proto=both,ip=10.0.0.5,p2p=BOTH1"});
    const auto dh = Ask(DhSearch(), kDhPort);
    ASSERT_TRUE(dh.has_value());
    Bytes record = Slice(dh->bytes, 4, 320);
    SetText(record, 0, 16, "10.0.0.44");
    ASSERT_TRUE(Ask(DhSet(record), kDhPort).has_value());
    const auto moi = Ask(MoiSearch(), kMoiPort);
    ASSERT_TRUE(moi.has_value());
    EXPECT_EQ(Slice(moi->bytes, 23 + 34, 4), (Bytes{10, 0, 0, 44}));
}

TEST_F(CamsimTest, MalformedRequestsAreLoggedAndIgnored) {
    Start({"--camera", "proto=both,ip=10.0.0.5"});
    Bytes longSearch = MoiSearch();
    longSearch.push_back(0);
    m_searcher.Send(kBroadcast, kMoiPort, longSearch);
    m_searcher.Send(kBroadcast, kDhPort, Bytes{'h', 'e', 'l', 'l', 'o'});
    m_searcher.Send(kBroadcast, kDhPort, Bytes{});
    m_searcher.Send(kBroadcast, kDhPort, Bytes{0x44, 0x48, 0x01, 0x01, 0x00});
    EXPECT_FALSE(m_searcher.Receive(kSilence).has_value());
    // The two ports are read in turn, so lines of different ports may come in either order.
    const auto lines = Logged("act=ignored:", 4);
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& tail : {" len=28 proto=MO_I cmd=0x0000 act=ignored:search-length hex=" + Hex(longSearch),
                                    std::string(" len=5 proto=DH cmd=0x6c6c act=ignored:magic hex=68656c6c6f"),
                                    std::string(" len=0 proto=DH cmd=- act=ignored:short hex="),
                                    std::string(" len=5 proto=DH cmd=0x0101 act=ignored:search-length hex=4448010100")}) {
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.ends_with(tail); }), 1)
            << tail;
    }
}
