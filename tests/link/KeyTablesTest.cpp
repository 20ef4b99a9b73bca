// Key code table, media codes and shortcut table.
#include <gtest/gtest.h>

#include <vector>

#include "link/KeyCodeTable.h"
#include "link/MediaCodes.h"
#include "link/ShortcutTable.h"

// Catches a shifted range, a mistyped pair, or an unlisted code that does not give 0.
TEST(KeyCodeTable, MapsVirtualKeysToUsages) {
    struct Case {
        int vk;
        int usage;
    };
    const Case cases[] = {
        {65, 4},    {90, 29},   {49, 30},   {57, 38},   {48, 39},   {13, 40},   {32, 44},   {189, 45},
        {220, 49},  {666, 50},  {186, 51},  {191, 56},  {20, 57},   {112, 58},  {123, 69},  {44, 70},
        {34, 78},   {39, 79},   {38, 82},   {144, 83},  {108, 88},  {97, 89},   {105, 97},  {96, 98},
        {110, 99},  {226, 100}, {93, 101},  {124, 104}, {135, 115}, {254, 175}, {136, 136}, {139, 139},
        {162, 224}, {92, 231},  {181, 232}, {176, 239}, {180, 240}, {182, 249}, {0, 0},     {47, 0},
        {140, 0},   {255, 0},   {-1, 0},    {256, 0},   {1000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyToUsage(c.vk), c.usage) << "vk " << c.vk;
}

// Catches a wrong consumer usage for a media code or a non-media code answering.
TEST(MediaCodes, MapToConsumerUsages) {
    const int expected[] = {0x183, 0xEA,  0xE9,  0xE2,  0xB7,  0xB6,  0xCD,  0xB5,  0x18A,
                            0x223, 0x192, 0x224, 0x225, 0x226, 0x227, 0x221, 0x22A, 0x194};
    for (int code = 232; code <= 249; ++code)
        EXPECT_EQ(MediaCodeToConsumerUsage(code), expected[code - 232]) << code;
    EXPECT_EQ(MediaCodeToConsumerUsage(231), 0);
    EXPECT_EQ(MediaCodeToConsumerUsage(250), 0);
}

// Catches a wrong key or a wrong press/release order in a shortcut, and values outside 1-15 producing events.
TEST(ShortcutTable, EventsPerShortcut) {
    auto flat = [](int value) {
        std::vector<int> out;
        for (const ShortcutEvent& e : ShortcutEvents(value))
            out.push_back(e.released ? -e.usage : e.usage);
        return out;
    };
    EXPECT_EQ(flat(1), (std::vector<int>{0xE0, 0x04, -0x04, -0xE0}));
    EXPECT_EQ(flat(10), (std::vector<int>{0xE2, 0x2B, -0x2B, -0xE2}));
    EXPECT_EQ(flat(13), (std::vector<int>{0xE2, 0x2C, 0x1B, -0x1B, -0x2C, -0xE2}));
    EXPECT_EQ(flat(14), (std::vector<int>{0xE2, 0x2C, 0x11, -0x11, -0x2C, -0xE2}));
    EXPECT_EQ(flat(15), (std::vector<int>{0xE2, 0x3D, -0x3D, -0xE2}));
    const int keys[] = {0x04, 0x06, 0x1B, 0x19, 0x1D, 0x16, 0x08, 0x0F, 0x07, 0x2B, 0x10, 0x1A};
    const int mods[] = {0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE3, 0xE3, 0xE3, 0xE2, 0xE3, 0xE0};
    for (int v = 1; v <= 12; ++v)
        EXPECT_EQ(flat(v), (std::vector<int>{mods[v - 1], keys[v - 1], -keys[v - 1], -mods[v - 1]})) << v;
    EXPECT_TRUE(ShortcutEvents(0).empty());
    EXPECT_TRUE(ShortcutEvents(16).empty());
}
