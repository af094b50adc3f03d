// UTF-8 to UTF-16 (invalid input becomes U+FFFD, the rest is kept), UTF-16 to GB18030 and back.
#include <string>

#include <gtest/gtest.h>

#include "platform/host/CodePage.h"

namespace {

std::string Local(std::u16string_view text) {
    std::string out;
    EXPECT_TRUE(host::Utf16ToLocal(text, out));
    return out;
}

TEST(CodePage, Utf8ToUtf16Table) {
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"ascii", "Cam-01", u"Cam-01"},
        {"empty", "", u""},
        {"chinese", "摄像机", u"摄像机"},
        {"polish", "Łódź", u"Łódź"},
        {"outside the BMP", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"invalid byte",
         "a\xFF"
         "b",
         u"a\uFFFDb"},
        {"cut two-byte sequence at the end", "ab\xC3", u"ab\uFFFD"},
        {"cut three-byte sequence before text", "\xE6\x91xyz", u"\uFFFDxyz"},
        {"cut sequence before a valid one", "\xE6\x91\xE6\x91\x84", u"\uFFFD摄"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80!", u"\uFFFD\uFFFD\uFFFD!"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(host::Utf8ToUtf16(c.utf8), c.utf16);
    }
}

TEST(CodePage, Utf16ToGb18030) {
    EXPECT_EQ(Local(u"摄像机"), "\xC9\xE3\xCF\xF1\xBB\xFA");                   // the GBK bytes
    EXPECT_EQ(Local(u"Łódź"), "\x81\x30\x91\x39\xA8\xAE\x64\x81\x30\x97\x32"); // four-byte forms for Ł and ź
    EXPECT_EQ(Local(u"\uFFFD"), "\x84\x31\xA4\x37");
    EXPECT_EQ(Local(u"Cam 1"), "Cam 1");
    EXPECT_EQ(Local(u""), "");
    // A lone surrogate is the only UTF-16 that GB18030 cannot take: it becomes "?", the rest stays.
    EXPECT_EQ(Local(u"a\xD800z"), "a?z");
}

TEST(CodePage, InvalidUtf8KeepsTheRestOfTheName) {
    const std::string name = "IPC\xFF-摄像机";
    EXPECT_EQ(Local(host::Utf8ToUtf16(name)), "IPC\x84\x31\xA4\x37-\xC9\xE3\xCF\xF1\xBB\xFA");
}

TEST(CodePage, RoundTripsThroughTheWindowCodePage) {
    for (const std::string utf8 :
         {"摄像机 IPC-01", "Łódź Kamera", "Kameraüberwachung", "\xF0\x9F\x98\x80 cam"}) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(host::LocalToUtf8(Local(host::Utf8ToUtf16(utf8))), utf8);
    }
}

TEST(CodePage, LocalToUtf8ReplacesInvalidBytes) {
    EXPECT_EQ(host::LocalToUtf8("\xC9\xE3"), "摄");
    EXPECT_EQ(host::LocalToUtf8("a\xFF"
                                "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(host::LocalToUtf8("ab\xC9"), "ab\xEF\xBF\xBD"); // cut double-byte character at the end
    EXPECT_EQ(host::LocalToUtf8(""), "");
}

} // namespace
