// Profile files: reading an integer as the platform does, and writing one key without disturbing
// anything else in the file.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/host/Profile.h"
#include "tests/support/TestFiles.h"

namespace {

namespace fs = std::filesystem;

class ProfileFile : public ::testing::Test {
  protected:
    void Put(const std::string& text) const { testenv::WriteFile(m_path, text); }
    std::string Get() const { return testenv::ReadFile(m_path); }

    testenv::TempDir m_temp;
    fs::path m_dir = m_temp.Path();
    std::string m_path = m_temp.File("sys.ini");
};

TEST_F(ProfileFile, MissingFileGivesDefault) {
    EXPECT_EQ(host::GetProfileInt("SYSTEM", "LANGUAGE", 0, m_path), 0);
    EXPECT_EQ(host::GetProfileInt("SYSTEM", "LANGUAGE", 7, m_path), 7);
    EXPECT_FALSE(fs::exists(m_path)); // reading never creates the file
}

TEST_F(ProfileFile, ReadTable) {
    struct Case {
        const char* text;
        int expected; // default is 42
    };
    const Case cases[] = {
        {"[SYSTEM]\nLANGUAGE=3\n", 3},
        {"[SYSTEM]\r\nLANGUAGE=4\r\n", 4},
        {"[system]\nlanguage=1\n", 1},               // names are not case-sensitive
        {"  [ SYSTEM ]  \n  LANGUAGE  =  2  \n", 2}, // blanks around names and value
        {"[SYSTEM]\nLANGUAGE=-2\n", -2},
        {"[SYSTEM]\nLANGUAGE=+9\n", 9},
        {"[SYSTEM]\nLANGUAGE=7abc\n", 7}, // reading stops at a non-digit
        {"[SYSTEM]\nLANGUAGE=abc\n", 0},  // no digits give 0
        {"[SYSTEM]\nLANGUAGE=\n", 42},    // an empty value reads like a missing one
        {"[SYSTEM]\nOTHER=1\n", 42},
        {"[OTHER]\nLANGUAGE=1\n", 42},
        {"LANGUAGE=1\n[SYSTEM]\n", 42},             // a key outside the section
        {"[SYSTEM]\n[NEXT]\nLANGUAGE=1\n", 42},     // a key of the next section
        {"[SYSTEM]\n;LANGUAGE=1\nLANGUAGE=2\n", 2}, // a commented-out line
        {"[SYSTEM]\nLANGUAGE=1\nLANGUAGE=2\n", 1},  // the first of two
        {"\xEF\xBB\xBF[SYSTEM]\nLANGUAGE=3", 3},    // byte-order mark, no final line ending
        {"", 42},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Put(c.text);
        EXPECT_EQ(host::GetProfileInt("SYSTEM", "LANGUAGE", 42, m_path), c.expected);
    }
}

TEST_F(ProfileFile, WriteKeepsEveryOtherLine) {
    struct Case {
        const char* name;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"new file", "", "[SYSTEM]\nLANGUAGE=3\n"},
        {"replace the value", "; tavlin\n[SYSTEM]\nFOO = bar \nLANGUAGE=1\n\n[OTHER]\nLANGUAGE=9\n",
         "; tavlin\n[SYSTEM]\nFOO = bar \nLANGUAGE=3\n\n[OTHER]\nLANGUAGE=9\n"},
        {"add to the section before its blank lines", "[SYSTEM]\nFOO=1\n\n[OTHER]\nX=y\n",
         "[SYSTEM]\nFOO=1\nLANGUAGE=3\n\n[OTHER]\nX=y\n"},
        {"add the section at the end", "[OTHER]\nX=y", "[OTHER]\nX=y\n[SYSTEM]\nLANGUAGE=3\n"},
        {"keep CRLF endings", "[SYSTEM]\r\nLANGUAGE=0\r\nA=1\r\n", "[SYSTEM]\r\nLANGUAGE=3\r\nA=1\r\n"},
        {"last line without ending", "[SYSTEM]\nLANGUAGE=0", "[SYSTEM]\nLANGUAGE=3"},
        {"section is the last line", "[SYSTEM]", "[SYSTEM]\nLANGUAGE=3\n"},
        {"other case of names", "[system]\nlanguage=1\n", "[system]\nLANGUAGE=3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_path);
        if (*c.before)
            Put(c.before);
        ASSERT_TRUE(host::WriteProfileString("SYSTEM", "LANGUAGE", "3", m_path));
        EXPECT_EQ(Get(), c.after);
        EXPECT_EQ(host::GetProfileInt("SYSTEM", "LANGUAGE", 0, m_path), 3);
    }
}

TEST_F(ProfileFile, WriteCreatesTheFolder) {
    const std::string nested = (m_dir / "config" / "tavlin" / "sys.ini").string();
    ASSERT_TRUE(host::WriteProfileString("SYSTEM", "LANGUAGE", "4", nested));
    EXPECT_EQ(host::GetProfileInt("SYSTEM", "LANGUAGE", 0, nested), 4);
    // Nothing but the file itself is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "config" / "tavlin"), fs::directory_iterator()),
              1);
}

TEST_F(ProfileFile, WriteFailures) {
    Put("[SYSTEM]\nLANGUAGE=1\n");
    // A folder that cannot be made: its parent is a file.
    EXPECT_FALSE(host::WriteProfileString("SYSTEM", "LANGUAGE", "3", m_path + "/sub/sys.ini"));
    // Texts that would break the file's lines.
    EXPECT_FALSE(host::WriteProfileString("SYSTEM", "LANGUAGE", "3\n[X]", m_path));
    EXPECT_FALSE(host::WriteProfileString("SYS]TEM", "LANGUAGE", "3", m_path));
    EXPECT_FALSE(host::WriteProfileString("SYSTEM", "LANG=UAGE", "3", m_path));
    EXPECT_FALSE(host::WriteProfileString("SYSTEM", "", "3", m_path));
    EXPECT_EQ(Get(), "[SYSTEM]\nLANGUAGE=1\n");
}

TEST_F(ProfileFile, WriteKeepsTheFileMode) {
    Put("[SYSTEM]\nLANGUAGE=1\n");
    fs::permissions(m_path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(host::WriteProfileString("SYSTEM", "LANGUAGE", "2", m_path));
    EXPECT_EQ(fs::status(m_path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

} // namespace
