// camsim as a program: help, command-line errors, bounded run time, stopping, many cameras.
#include "test_camsim_fixture.h"

#include <fstream>
#include <set>

using namespace camsimtest;

TEST_F(CamsimTest, HelpAndBadCommandLines) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* output; // part of what it prints
    };
    const std::vector<Case> cases{
        {{"--help"}, 0, "Usage: camsim [options]"},
        {{"--camera", "ip=10.0.0.5", "--reply", "sideways"}, 2, "--reply expects broadcast or unicast"},
        {{"--camera", "name=no address"}, 2, "every camera needs an address"},
        {{}, 2, "no camera"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string out = m_lab.Dir() + "/cli-" + std::to_string(n++) + ".out";
        std::vector<std::string> argv{lab::Lab::CamsimPath()};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const int pid = m_lab.Spawn("", argv, out);
        EXPECT_EQ(m_lab.WaitExit(pid, kWait), std::optional<int>(c.status)) << argv.back();
        EXPECT_NE(ReadAll(out).find(c.output), std::string::npos) << ReadAll(out);
    }
}

TEST_F(CamsimTest, EndsByItselfAfterItsRunTime) {
    Start({"--max-seconds", "1", "--count", "1"});
    EXPECT_EQ(m_lab.WaitExit(m_sim.pid, 10s), std::optional<int>(0));
}

TEST_F(CamsimTest, StopsOnSigtermAndCountsWhatItReceived) {
    Start({"--camera", "ip=10.0.0.5"});
    ASSERT_TRUE(Ask(DhSearch(), kDhPort).has_value());
    m_searcher.Send(kBroadcast, kDhPort, Bytes{0x48, 0x44, 0x01, 0x01});
    m_searcher.Send(kBroadcast, kMoiPort, MoiSearch()); // no MO_I camera: logged, not answered
    ASSERT_EQ(Logged(" act=", 3).size(), 3u);
    EXPECT_EQ(m_lab.Stop(m_sim.pid), 0);
    EXPECT_NE(ReadAll(m_sim.output)
                  .find("received 3 datagram(s): DH search 1, DH set 0, MO_I search 1, MO_I set 0, ignored 1; "
                        "sent 1 answer(s), 0 failed"),
              std::string::npos)
        << ReadAll(m_sim.output);
}

TEST_F(CamsimTest, ManyCamerasAnswerEachSearch) {
    constexpr int kCameras = 40;
    Start({"--count", std::to_string(kCameras), "--base-ip", "10.0.0.100", "--defaults", "proto=both", "--spread",
           "200", "--jitter", "20"});
    std::set<std::string> expected;
    for (int i = 0; i < kCameras; ++i)
        expected.insert("10.0.0." + std::to_string(100 + i));

    m_searcher.Send(kBroadcast, kDhPort, DhSearch());
    std::set<std::string> dh;
    for (const auto& d : m_searcher.ReceiveMany(kCameras, kWait, kWait))
        dh.insert(Text(d.bytes, 4, 16));
    EXPECT_EQ(dh, expected);

    m_searcher.Send(kBroadcast, kMoiPort, MoiSearch());
    std::set<std::string> moi;
    for (const auto& d : m_searcher.ReceiveMany(kCameras, kWait, kWait)) {
        const Bytes a = Slice(d.bytes, 23 + 34, 4);
        moi.insert(std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
                   std::to_string(a[3]));
    }
    EXPECT_EQ(moi, expected);
}

TEST_F(CamsimTest, CamerasFromAFile) {
    const std::string file = m_lab.Dir() + "/cameras.txt";
    {
        std::ofstream out(file);
        out << "# two cameras\nip=10.0.0.21,p2p=F1,name=Gate\\, north\n\nproto=both,ip=10.0.0.22,p2p=F2\n";
    }
    Start({"--file", file});
    m_searcher.Send(kBroadcast, kDhPort, DhSearch());
    std::set<std::string> names;
    for (const auto& d : m_searcher.ReceiveMany(2, kWait, kWait))
        names.insert(Text(d.bytes, 4 + 120, 80));
    EXPECT_EQ(names, (std::set<std::string>{"Gate, north", "Camera 2"}));
}

TEST(CamsimSegment, SeveralCameraHostsShareOneSegmentWithThePc) {
    lab::Lab lab;
    const std::string lan = lab.AddSegment("lan");
    const std::string pcIf = lab.Attach(lan, "", "10.0.0.1/24");
    std::vector<lab::Lab::Camsim> sims;
    for (const std::string name : {"cam-a", "cam-b"}) {
        const std::string host = lab.AddHost(name);
        const std::string base = name == "cam-a" ? "10.0.0.20" : "192.168.8.20"; // cam-b is out of subnet
        lab.Attach(lan, host, base + "/24");
        sims.push_back(lab.StartCamsim(host, {"--count", "2", "--base-ip", base}));
    }
    const lab::UdpPeer searcher(0, pcIf);
    searcher.Send(kBroadcast, kDhPort, DhSearch());
    std::set<std::string> found;
    std::set<std::string> senders;
    for (const auto& d : searcher.ReceiveMany(4, kWait, kWait)) {
        found.insert(Text(d.bytes, 4, 16));
        senders.insert(d.from);
    }
    EXPECT_EQ(found, (std::set<std::string>{"10.0.0.20", "10.0.0.21", "192.168.8.20", "192.168.8.21"}));
    EXPECT_EQ(senders, (std::set<std::string>{"10.0.0.20", "192.168.8.20"}));
}
