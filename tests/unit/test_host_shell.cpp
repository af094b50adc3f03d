// The opener gets the URL as one argument without any shell, and is reaped; unknown commands fail.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/host/Shell.h"

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
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tavlin-opener-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        m_dir = tmpl;
        m_record = m_dir / "args";
        // A recording opener first on PATH: it writes its arguments, NUL-separated, and adds a line
        // to a count of its runs.
        const fs::path opener = m_dir / "xdg-open";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"" << m_record.string()
                              << ".$$\"\nmv \"" << m_record.string() << ".$$\" \"" << m_record.string()
                              << "\"\necho run >> \"" << (m_dir / "runs").string() << "\"\n";
        fs::permissions(opener, fs::perms::owner_all);
        const char* path = std::getenv("PATH");
        m_oldPath = path ? path : "";
        ::setenv("PATH", (m_dir.string() + ":" + m_oldPath).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", m_oldPath.c_str(), 1);
        fs::remove_all(m_dir);
    }

    // The opener's arguments, once it has run (bounded wait).
    std::string Recorded() const {
        for (int i = 0; i < 500 && !fs::exists(m_record); ++i)
            std::this_thread::sleep_for(10ms);
        std::ifstream in(m_record, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    int Runs() const {
        std::ifstream in(m_dir / "runs");
        int lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        return lines;
    }

    fs::path m_dir;
    fs::path m_record;
    std::string m_oldPath;
};

TEST_F(Opener, UrlIsOneArgumentAndNoShellRuns) {
    const fs::path marker = m_dir / "pwned";
    // Camera-supplied text with everything a shell would act on.
    const std::string url = "http://10.0.0.5:80/a b;touch " + marker.string() + " `touch " + marker.string() +
                            "` $(touch " + marker.string() + ") | & > ' \" *";
    ASSERT_TRUE(host::ShellOpen(url));
    EXPECT_EQ(Recorded(), url + std::string(1, '\0'));
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(Opener, FinishedOpenersAreReaped) {
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(host::ShellOpen("http://10.0.0." + std::to_string(i) + ":80"));
    for (int i = 0; i < 500 && Runs() < 3; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(Runs(), 3);
    int zombies = ZombieChildren();
    for (int i = 0; i < 500 && zombies != 0; ++i) {
        std::this_thread::sleep_for(10ms);
        zombies = ZombieChildren();
    }
    EXPECT_EQ(zombies, 0);
}

TEST_F(Opener, MissingOpenerFails) {
    ::setenv("PATH", (m_dir / "empty").c_str(), 1);
    EXPECT_FALSE(host::ShellOpen("http://10.0.0.5:80"));
}

TEST(RunCommand, OnlyTheKnownCommandRuns) {
    EXPECT_EQ(host::RunCommand("arp -a"), -1);
    EXPECT_EQ(host::RunCommand("rm -rf /"), -1);
    EXPECT_EQ(host::RunCommand(""), -1);
}

} // namespace
