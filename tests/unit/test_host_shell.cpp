// The opener gets the URL as one argument without any shell, and is reaped; unknown commands fail.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/host/Shell.h"
#include "tests/support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Children of this process that have ended but were not waited for.
int ZombieChildren() {
    int zombies = 0;
    const std::string self = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        const std::size_t close = line.rfind(')'); // the command name may hold blanks and parentheses
        if (close == std::string::npos || close + 4 >= line.size())
            continue;
        const char state = line[close + 2];
        const std::string rest = line.substr(close + 4);
        const std::string ppid = rest.substr(0, rest.find(' '));
        if (ppid == self && state == 'Z')
            ++zombies;
    }
    return zombies;
}

class Opener : public ::testing::Test {
  protected:
    testenv::RecordingOpener m_opener;
};

TEST_F(Opener, UrlIsOneArgumentAndNoShellRuns) {
    const fs::path marker = fs::path(m_opener.Dir()) / "pwned";
    // Camera-supplied text with everything a shell would act on.
    const std::string url = "http://10.0.0.5:80/a b;touch " + marker.string() + " `touch " + marker.string() +
                            "` $(touch " + marker.string() + ") | & > ' \" *";
    ASSERT_TRUE(host::ShellOpen(url));
    EXPECT_EQ(m_opener.Arguments(), std::vector<std::string>{url});
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(Opener, FinishedOpenersAreReaped) {
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(host::ShellOpen("http://10.0.0." + std::to_string(i) + ":80"));
    for (int i = 0; i < 500 && m_opener.Runs() < 3; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(m_opener.Runs(), 3);
    int zombies = ZombieChildren();
    for (int i = 0; i < 500 && zombies != 0; ++i) {
        std::this_thread::sleep_for(10ms);
        zombies = ZombieChildren();
    }
    EXPECT_EQ(zombies, 0);
}

TEST_F(Opener, MissingOpenerFails) {
    ::setenv("PATH", (fs::path(m_opener.Dir()) / "empty").c_str(), 1);
    EXPECT_FALSE(host::ShellOpen("http://10.0.0.5:80"));
}

TEST(RunCommand, OnlyTheKnownCommandRuns) {
    EXPECT_EQ(host::RunCommand("arp -a"), -1);
    EXPECT_EQ(host::RunCommand("rm -rf /"), -1);
    EXPECT_EQ(host::RunCommand(""), -1);
}

} // namespace
