#include <climits>
#include <optional>

#include <gtest/gtest.h>

#include "platform/host/TextScan.h"

TEST(TextScan, LowBitsAsAtoiReads) {
    struct Case {
        const char* text;
        std::uint32_t value;
    } cases[] = {
        {"80", 80},           {"  42abc", 42},     {"+7", 7},        {"-1", 0xFFFFFFFFu}, {"", 0},
        {"abc", 0},           {"- 5", 0},          {"70000", 70000}, {"4294967296", 0},   // 2^32 wraps
        {"99999999999999999999999", 4135583743u}, // the number modulo 2^32
    };
    for (const Case& c : cases)
        EXPECT_EQ(host::ScanIntLowBits(c.text), c.value) << c.text;
    EXPECT_EQ(host::ScanIntLowBits("70000") & 0xFFFF, 4464u) << "a port of 70000 keeps its low 16 bits";
    EXPECT_EQ(host::ScanIntLowBits("300") & 0xFF, 44u);
}

TEST(TextScan, ScanIntAsPercentDScans) {
    struct Case {
        const char* text;
        std::size_t from;
        std::optional<long long> value;
        std::size_t to;
    } cases[] = {
        {"67.1.61.0", 0, 67, 2},  {"67.1.61.0", 3, 1, 4},     {" -5x", 0, -5, 3},   {".5", 0, std::nullopt, 0},
        {"", 0, std::nullopt, 0}, {"+", 0, std::nullopt, 0}, {"99999999999999999999999", 0, LLONG_MAX, 23},
    };
    for (const Case& c : cases) {
        std::size_t pos = c.from;
        EXPECT_EQ(host::ScanInt(c.text, pos), c.value) << c.text;
        EXPECT_EQ(pos, c.to) << c.text;
    }
}
