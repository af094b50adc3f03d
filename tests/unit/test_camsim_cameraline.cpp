// camsim's camera lines and command line.
#include "tools/camsim/CameraLine.h"
#include "tools/camsim/SimOptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

using camsim::CameraLine;
using camsim::SimCamera;
using camsim::SimOptions;

namespace {

// A line on top of camera 1's defaults, completed as camsim does it.
SimCamera Make(const std::string& line) {
    SimCamera camera = CameraLine::Defaults(1);
    CameraLine::Apply(line, camera);
    CameraLine::Complete(camera);
    return camera;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(CamsimCameraLine, ReadsEveryKey) {
    const SimCamera c = Make("proto=both,ip=10.0.0.5,mask=255.255.0.0,gw=10.0.0.254,extra=172.16.0.1,dns=10.0.0.2,"
                             "port=8080,p2p=ABC123,name=Front door,sys=67.1.61.0,app=2.1.0.3,user=root,"
                             "password=a=b,dhcp=1,res1=a1a2a3a4a5a6,res2=b1,res3=c0c1,delay=25");
    EXPECT_TRUE(c.dh);
    EXPECT_TRUE(c.moi);
    EXPECT_EQ(c.ip, "10.0.0.5");
    EXPECT_EQ(c.mask, "255.255.0.0");
    EXPECT_EQ(c.gateway, "10.0.0.254");
    EXPECT_EQ(c.extra, "172.16.0.1");
    EXPECT_EQ(c.dns, "10.0.0.2");
    EXPECT_EQ(c.port, 8080);
    EXPECT_EQ(c.p2p, "ABC123");
    EXPECT_EQ(c.name, "Front door");
    EXPECT_EQ(c.sysVersion, "67.1.61.0");
    EXPECT_EQ(c.appVersion, "2.1.0.3");
    EXPECT_EQ(c.user, "root");
    EXPECT_EQ(c.password, "a=b");
    EXPECT_EQ(c.dhcp, 1);
    EXPECT_EQ(c.reserved1, (std::array<std::uint8_t, 6>{0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6}));
    EXPECT_EQ(c.reserved2, 0xB1);
    EXPECT_EQ(c.reserved3[0], 0xC0);
    EXPECT_EQ(c.reserved3[1], 0xC1);
    EXPECT_EQ(c.reserved3[2], 0x00);
    EXPECT_EQ(c.delayMs, 25);
}

TEST(CamsimCameraLine, DefaultsAndDerivedAddresses) {
    const SimCamera c = Make("ip=192.168.7.20");
    EXPECT_TRUE(c.dh);
    EXPECT_FALSE(c.moi);
    EXPECT_EQ(c.mask, "255.255.255.0");
    EXPECT_EQ(c.gateway, "192.168.7.1");
    EXPECT_EQ(c.dns, "192.168.7.1");
    EXPECT_EQ(c.extra, "0.0.0.0");
    EXPECT_EQ(c.port, 80);
    EXPECT_EQ(c.p2p, "SIM000001");
    EXPECT_EQ(c.name, "Camera 1");
    EXPECT_EQ(c.user, "admin");
    EXPECT_EQ(c.password, "");
    EXPECT_EQ(c.dhcp, 0);
}

TEST(CamsimCameraLine, ValuesAndTheirEscapes) {
    struct Case {
        std::string line;
        std::string name;
    };
    const std::vector<Case> cases{
        {"ip=10.0.0.5,name=a\\,b", "a,b"},
        {"ip=10.0.0.5,name=back\\\\slash", "back\\slash"},
        {"ip=10.0.0.5,name=\\xe5\\x89\\x8D", "\xe5\x89\x8d"},
        {"ip=10.0.0.5, name = spaced value", " spaced value"}, // keys are trimmed, values are not
        {"ip=10.0.0.5,,name=x,", "x"},                          // empty pairs are skipped
        {"ip=10.0.0.5,name=" + std::string(80, 'n'), std::string(80, 'n')}, // fills the field exactly
    };
    for (const Case& c : cases)
        EXPECT_EQ(Make(c.line).name, c.name) << c.line;
}

TEST(CamsimCameraLine, RefusesWhatNoRecordCanHold) {
    struct Case {
        std::string line;
        std::string error; // part of the message
    };
    const std::vector<Case> cases{
        {"ip=10.0.0.5,colour=red", "'colour': unknown key"},
        {"ip=10.0.0.5,name", "'name': missing '='"},
        {"=x,ip=10.0.0.5", "a value without a key"},
        {"mask=255.255.255.0", "'ip': every camera needs an address"},
        {"ip=10.0.0.256", "'ip'"},
        {"ip=10.0.0.5,mask=255.255.255", "'mask'"},
        {"ip=10.0.0.5,gw=gateway", "'gw'"},
        {"ip=10.0.0.5,port=65536", "'port'"},
        {"ip=10.0.0.5,port=-1", "'port'"},
        {"ip=10.0.0.5,port=80x", "'port'"},
        {"ip=10.0.0.5,dhcp=2", "'dhcp'"},
        {"ip=10.0.0.5,proto=rtsp", "'proto'"},
        {"ip=10.0.0.5,name=" + std::string(81, 'n'), "'name': longer than its 80-byte field"},
        {"ip=10.0.0.5,p2p=" + std::string(33, 'p'), "'p2p'"},
        {"ip=10.0.0.5,user=" + std::string(33, 'u'), "'user'"},
        {"ip=10.0.0.5,sys=" + std::string(17, '1'), "'sys'"},
        {"ip=10.0.0.5,name=a\\x00b", "'name': holds a NUL byte"},
        {"ip=10.0.0.5,name=a\\q", "unknown escape"},
        {"ip=10.0.0.5,name=a\\", "a backslash ends the value"},
        {"ip=10.0.0.5,res1=01020304050607", "'res1'"},
        {"ip=10.0.0.5,res2=0102", "'res2'"},
        {"ip=10.0.0.5,res3=abc", "'res3'"},
        {"ip=10.0.0.5,res1=zz", "'res1'"},
        {"proto=moi,ip=10.0.0.5,sys=V2.800", "'sys'"}, // MO_I carries versions as four bytes
    };
    for (const Case& c : cases) {
        const std::string error = ErrorOf([&] { Make(c.line); });
        EXPECT_NE(error.find(c.error), std::string::npos) << c.line << " gave: " << error;
    }
    EXPECT_EQ(ErrorOf([] { Make("proto=dh,ip=10.0.0.5,sys=V2.800"); }), ""); // DH versions are text
}

TEST(CamsimOptions, CamerasFromLinesFilesAndGeneration) {
    char path[] = "/tmp/camsim-test-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream out(path);
        out << "# cameras of the hall\n\n  ip=10.0.0.21,name=Hall\n   # indented comment\nip=10.0.0.22,proto=moi\n";
    }
    const SimOptions o = SimOptions::Parse({"--defaults", "port=81,proto=both", "--camera", "ip=10.0.0.20,p2p=FIRST",
                                            "--file", path, "--count", "3", "--base-ip", "10.0.0.254"});
    std::remove(path);
    ASSERT_EQ(o.cameras.size(), 6u);
    EXPECT_EQ(o.cameras[0].p2p, "FIRST");
    EXPECT_EQ(o.cameras[1].name, "Hall");
    EXPECT_EQ(o.cameras[1].p2p, "SIM000002");
    EXPECT_TRUE(o.cameras[1].moi); // from --defaults
    EXPECT_FALSE(o.cameras[2].dh); // its own proto wins over --defaults
    // Generated cameras skip host numbers 255 and 0 and go on numbering after the listed ones.
    const std::vector<std::string> ips{o.cameras[3].ip, o.cameras[4].ip, o.cameras[5].ip};
    EXPECT_EQ(ips, (std::vector<std::string>{"10.0.0.254", "10.0.1.1", "10.0.1.2"}));
    EXPECT_EQ(o.cameras[5].p2p, "SIM000006");
    EXPECT_EQ(o.cameras[5].name, "Camera 6");
    EXPECT_EQ(o.cameras[5].gateway, "10.0.1.1");
    for (const SimCamera& c : o.cameras)
        EXPECT_EQ(c.port, 81);
}

TEST(CamsimOptions, RunSettings) {
    const SimOptions o = SimOptions::Parse({"--count", "1", "--reply", "unicast", "--delay", "5", "--jitter", "7",
                                            "--spread", "100", "--seed", "42", "--move-host", "tvl-eth0", "--log",
                                            "/tmp/x.log", "--ready-file", "/tmp/x.ready", "--max-seconds", "9"});
    EXPECT_EQ(o.reply, camsim::ReplyMode::Unicast);
    EXPECT_EQ(o.delayMs, 5);
    EXPECT_EQ(o.jitterMs, 7);
    EXPECT_EQ(o.spreadMs, 100);
    EXPECT_EQ(o.seed, std::optional<std::uint32_t>(42));
    EXPECT_EQ(o.moveHost, "tvl-eth0");
    EXPECT_EQ(o.logFile, "/tmp/x.log");
    EXPECT_EQ(o.readyFile, "/tmp/x.ready");
    EXPECT_EQ(o.maxSeconds, 9);
    EXPECT_EQ(o.cameras[0].ip, "10.1.0.10");
    const SimOptions defaults = SimOptions::Parse({"--count", "1"});
    EXPECT_EQ(defaults.reply, camsim::ReplyMode::Broadcast);
    EXPECT_EQ(defaults.maxSeconds, 300);
    EXPECT_TRUE(SimOptions::Parse({"--help"}).help);
}

TEST(CamsimOptions, RefusesBadCommandLines) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> cases{
        {{}, "no camera"},
        {{"--reply", "multicast", "--count", "1"}, "--reply"},
        {{"--max-seconds", "0", "--count", "1"}, "--max-seconds"},
        {{"--count", "1", "--delay"}, "--delay needs a value"},
        {{"--count", "1", "--bogus"}, "unknown option '--bogus'"},
        {{"--count", "2", "--base-ip", "10.0.0"}, "--base-ip"},
        {{"--camera", "ip=10.0.0.5", "--camera", "ip=10.0.0.6,port=x"}, "camera 2: camera key 'port'"},
        {{"--file", "/nonexistent/cameras.txt"}, "cannot read camera file"},
    };
    for (const Case& c : cases) {
        const std::string error = ErrorOf([&] { SimOptions::Parse(c.args); });
        EXPECT_NE(error.find(c.error), std::string::npos) << "gave: " << error;
    }
}
