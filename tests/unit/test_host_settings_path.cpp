// Where sys.ini lives: beside the executable when that folder is writable, else under the user's
// XDG configuration folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <grp.h>
#include <sys/wait.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/host/SettingsPath.h"
#include "tests/support/TestFiles.h"

namespace {

namespace fs = std::filesystem;

// Sets (or unsets) an environment variable for the test's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class SettingsPath : public ::testing::Test {
  protected:
    testenv::TempDir m_temp;
    fs::path m_dir = m_temp.Path();
};

TEST_F(SettingsPath, ExecutableDirectoryIsThisTestsFolder) {
    const std::string dir = host::ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::is_directory(dir));
    EXPECT_TRUE(
        fs::equivalent(fs::path(dir) / fs::read_symlink("/proc/self/exe").filename(), "/proc/self/exe"));
    EXPECT_NE(dir.back(), '/');
}

TEST_F(SettingsPath, WritableExecutableFolder) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/somewhere/else");
    EXPECT_EQ(host::ResolveSettingsFile(m_dir.string(), "sys.ini"), (m_dir / "sys.ini").string());
}

TEST_F(SettingsPath, UnusableExecutableFolderFallsBackToXdg) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/config");
    EXPECT_EQ(host::ResolveSettingsFile((m_dir / "missing").string(), "sys.ini"),
              "/xdg/config/tavlin/sys.ini");
    EXPECT_EQ(host::ResolveSettingsFile("", "sys.ini"), "/xdg/config/tavlin/sys.ini");
    std::ofstream(m_dir / "file") << "not a folder";
    EXPECT_EQ(host::ResolveSettingsFile((m_dir / "file").string(), "sys.ini"), "/xdg/config/tavlin/sys.ini");
}

TEST_F(SettingsPath, ReadOnlyExecutableFolderFallsBackToXdg) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/config");
    const fs::path readOnly = m_dir / "ro";
    fs::create_directory(readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(readOnly.c_str(), W_OK) != 0) {
        EXPECT_EQ(host::ResolveSettingsFile(readOnly.string(), "sys.ini"), "/xdg/config/tavlin/sys.ini");
        return;
    }
    // Root may write anywhere, as an installed program's user may not: ask as user nobody instead.
    if (::geteuid() != 0)
        GTEST_SKIP() << "allowed to write into a read-only folder without being root";
    fs::permissions(m_dir, fs::perms::owner_all | fs::perms::others_exec, fs::perm_options::add);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        const std::string path = host::ResolveSettingsFile(readOnly.string(), "sys.ini");
        const bool written = ::write(fds[1], path.data(), path.size()) == static_cast<ssize_t>(path.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(fds[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(answer, "/xdg/config/tavlin/sys.ini");
}

TEST_F(SettingsPath, XdgDefaultIsHomeConfig) {
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(host::ResolveSettingsFile("", "sys.ini"), "/home/someone/.config/tavlin/sys.ini");
    }
    {
        const ScopedEnv xdg("XDG_CONFIG_HOME", "relative/dir"); // invalid by the XDG rules: ignored
        EXPECT_EQ(host::ResolveSettingsFile("", "sys.ini"), "/home/someone/.config/tavlin/sys.ini");
    }
}

} // namespace
