// Version comparison and the rules a server's version text must pass.
#include "update/Version.h"

#include <gtest/gtest.h>

// Catches text comparison of parts (2 < 10), lost part-count rule, or wrong direction.
TEST(CompareVersions, ComparesPartsAsNumbers)
{
    struct Case {
        const char* installed;
        const char* latest;
        int result;
    } cases[] = {
        {"1.0.2", "1.0.10", 1},
        {"1.0", "1.0.0", 2},
        {"1.0.0", "1.0", 2},
        {"1.2.0", "1.1.9", -1},
        {"1.0.3", "1.0.3", 0},
        {"1.x", "1.0", 0},    // a non-numeric part counts as 0
        {"1.07", "1.7", 0},
        {"2.0", "10.0", 1},
        {"", "", 0},
        {"1..2", "1.0.2", 0},
        {"1.99999999999", "1.2", -1}, // saturates instead of overflowing
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersions(c.installed, c.latest), c.result) << c.installed << " vs " << c.latest;
}

// Catches reading the firmware's hex digits as hex instead of as decimal digits.
TEST(FirmwareVersionAsDecimal, ReadsHexDigitsAsDecimal)
{
    EXPECT_EQ(FirmwareVersionAsDecimal(0x0105), 105);
    EXPECT_EQ(FirmwareVersionAsDecimal(0x2000), 2000);
    EXPECT_EQ(FirmwareVersionAsDecimal(0), 0);
    EXPECT_EQ(FirmwareVersionAsDecimal(0x1A5), 1); // digits stop at the first letter
    EXPECT_EQ(FirmwareVersionAsDecimal(-1), -1);
}

// Catches accepting empty or 11-character bodies, or text that would form a path in the update folder.
TEST(IsAcceptableVersionText, OneToTenSafeCharacters)
{
    EXPECT_TRUE(IsAcceptableVersionText("1"));
    EXPECT_TRUE(IsAcceptableVersionText("1.0.3"));
    EXPECT_TRUE(IsAcceptableVersionText("1234567890"));
    EXPECT_FALSE(IsAcceptableVersionText(""));
    EXPECT_FALSE(IsAcceptableVersionText("12345678901"));
    EXPECT_FALSE(IsAcceptableVersionText("../x"));
    EXPECT_FALSE(IsAcceptableVersionText("1.0.3\n"));
    EXPECT_FALSE(IsAcceptableVersionText(".."));
}
