// Lenient number parsing used by settings and catalogue attributes.
#include "platform/NumberText.h"

#include <gtest/gtest.h>

// Catches numbers that reject trailing text, wrap on overflow, or miss the "0x" prefix and case rules.
TEST(NumberText, ParsesLeadingDigits) {
    struct Case {
        const char* text;
        int decimal;
        int hex;
    } cases[] = {
        {"", 0, 0},
        {"201", 201, 0x201},
        {"  42abc", 42, 0x42abc},
        {"abc", 0, 0xabc},
        {"zz", 0, 0},
        {"-7", -7, -7},
        {"+12", 12, 0x12},
        {"0x1A2b", 0, 0x1a2b},
        {"0X1a2B", 0, 0x1a2b},
        {"1A2B", 1, 0x1a2b},
        {"0xg", 0, 0},
        {"99999999999", 2147483647, 2147483647},
        {"-99999999999", -2147483647 - 1, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimalInt(c.text), c.decimal) << c.text;
        EXPECT_EQ(ParseHexInt(c.text), c.hex) << c.text;
    }
}
