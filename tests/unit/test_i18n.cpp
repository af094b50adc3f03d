#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "i18n/DialogTexts.h"
#include "i18n/LanguageSetting.h"
#include "i18n/MainTexts.h"
#include "tests/support/TestFiles.h"

using namespace i18n;

TEST(MainTexts, BytesOfChosenSlots) {
    struct Case {
        int language, slot;
        std::string bytes;
    } cases[] = {
        {kEnglish, kSlotTitle, "IP Brenvik"},
        {kEnglish, kSlotSubnetMismatch, "Submask not match"},
        {kEnglish, kSlotMenuAbout, "About Brenvik"},
        {kGerman, kSlotIpMatch, "\x45\x69\x6E\x20\x53\x63\x68\x6C\xA8\xB9\x73\x73\x65\x6C\x73\x70\x69\x65\x6C"},
        {kGerman, kSlotColumnName, "Gertename"},
        {kGerman, kSlotMenuAbout, "ber IP-Kamera-Tool"},
        {kPolish, kSlotSubnetMismatch, "Nieprawidlowa maska"},
        {kSimplifiedChinese, kSlotLanguageLabel, "\xD3\xEF\xD1\xD4"},                    // 语言
        {kTraditionalChinese, kSlotLanguageLabel, "\xD5\x5A\xD1\xD4"},                   // 語言
        {kTraditionalChinese, kSlotMenuAbout, "\xEA\x50\xEC\xB6\x42renvik"},             // 關於Brenvik, no blank
        {kSimplifiedChinese, kSlotMenuAbout, "\xB9\xD8\xD3\xDA Brenvik"},               // 关于 Brenvik
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(MainText(c.language, c.slot)), c.bytes) << c.language << "/" << c.slot;
}

TEST(MainTexts, EveryTextFitsItsSlot) {
    for (int lang = 0; lang < kLanguageCount; ++lang)
        for (int slot = 0; slot < kTextSlots; ++slot)
            EXPECT_LT(std::strlen(MainText(lang, slot)), static_cast<std::size_t>(kTextSlotSize));
}

TEST(MainTexts, ComboEntries) {
    const char* expected[] = {"English", "\xB7\xB1\xF3\x77\xD6\xD0\xCE\xC4", "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4",
                              "Deutsch", "Polski"};
    for (int i = 0; i < kLanguageCount; ++i)
        EXPECT_STREQ(LanguageName(i), expected[i]);
}

TEST(DialogTexts, ChosenTexts) {
    EXPECT_STREQ(NetCfgString(kEnglish, NetCfgText::Dns), "DNS ");
    EXPECT_STREQ(NetCfgString(kGerman, NetCfgText::Ok), "bestimmen");
    EXPECT_STREQ(NetCfgString(kTraditionalChinese, NetCfgText::Gateway), "\xBE\x57\xE9\x76"); // 網関
    EXPECT_STREQ(BaseParamString(kEnglish, BaseParamText::Title), "Basic Infomation");
    EXPECT_STREQ(BaseParamString(kPolish, BaseParamText::Title), "Informacje");
    EXPECT_STREQ(BaseParamString(kGerman, BaseParamText::SysVersion), "Systemversion");
}

class LanguageSettingTest : public ::testing::Test {
protected:
    void Write(const std::string& text) { testenv::WriteFile(path, text); }
    testenv::TempDir dir;
    std::string path = dir.File("sys.ini");
};

TEST_F(LanguageSettingTest, StoredValues) {
    EXPECT_EQ(ReadLanguageIndex(path), kEnglish) << "missing file";
    EXPECT_FALSE(std::filesystem::exists(path)) << "reading creates nothing";
    struct Case {
        const char* file;
        int index;
    } cases[] = {
        {"[SYSTEM]\nLANGUAGE=3\n", 3}, {"[SYSTEM]\nLANGUAGE=9\n", 2},    {"[SYSTEM]\nLANGUAGE=-1\n", 2},
        {"[SYSTEM]\nLANGUAGE=0\n", 0}, {"[SYSTEM]\nOTHER=4\n", 0},       {"[OTHER]\nLANGUAGE=4\n", 0},
        {"[SYSTEM]\nLANGUAGE=4\n", 4}, {"[SYSTEM]\nLANGUAGE=abc\n", 0},
    };
    for (const Case& c : cases) {
        Write(c.file);
        EXPECT_EQ(ReadLanguageIndex(path), c.index) << c.file;
    }
    Write("[SYSTEM]\nLANGUAGE=9\n");
    ReadLanguageIndex(path);
    EXPECT_EQ(testenv::ReadFile(path), "[SYSTEM]\nLANGUAGE=9\n") << "an out-of-range value is not written back";
}

TEST_F(LanguageSettingTest, StoreThenRead) {
    ASSERT_TRUE(StoreLanguageIndex(path, 3));
    EXPECT_EQ(ReadLanguageIndex(path), 3);
    ASSERT_TRUE(StoreLanguageIndex(path, 1));
    EXPECT_EQ(ReadLanguageIndex(path), 1);
}
