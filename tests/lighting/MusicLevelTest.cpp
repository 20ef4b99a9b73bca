// The music level of a packet and its sensitivity scaling.
#include "lighting/MusicLevel.h"

#include <gtest/gtest.h>

#include <vector>

// Catches a level read from the wrong sample, a sign error at -32768, or short packets not giving 0.
TEST(MusicLevel, LevelOfPacket)
{
    struct Case { int16_t sample; int count; int level; } cases[] = {
        {-32768, 10, 128}, {32767, 10, 127}, {255, 12, 0}, {256, 12, 1}, {-512, 40, 2}, {30000, 9, 0},
    };
    for (const Case& c : cases) {
        std::vector<int16_t> samples(c.count, 0);
        if (c.count >= 10)
            samples[c.count - 10] = c.sample; // the sample that decides
        EXPECT_EQ(MusicLevelOfPacket(samples.data(), c.count), c.level) << c.sample << " of " << c.count;
    }
    EXPECT_EQ(MusicLevelOfPacket(nullptr, 0), 0);
    std::vector<int16_t> loudElsewhere(20, 32767);
    loudElsewhere[10] = 0;
    EXPECT_EQ(MusicLevelOfPacket(loudElsewhere.data(), 20), 0);
}

// Catches a scaled level that overflows the byte, rounds instead of truncating, or goes negative.
TEST(MusicLevel, Scaling)
{
    struct Case { int level; float sensitivity; int sent; } cases[] = {
        {128, 2.0f, 255}, {128, 1.0f, 128}, {3, 0.5f, 1}, {100, 0.0f, 0}, {0, 2.0f, 0}, {127, 1.98f, 251},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleMusicLevel(c.level, c.sensitivity), c.sent) << c.level << " x " << c.sensitivity;
    EXPECT_FLOAT_EQ(SensitivityFromSlider(100), 2.0f);
    EXPECT_FLOAT_EQ(SensitivityFromSlider(50), 1.0f);
}
