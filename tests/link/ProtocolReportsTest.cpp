// Byte layout of every report the program builds.
#include <gtest/gtest.h>

#include "LinkTestSupport.h"
#include "link/ProtocolReports.h"

namespace {

std::vector<uint8_t> V(const auto& report) {
    return {report.begin(), report.end()};
}

LightModeRecord Effect(int mode, int colorIndex, int direction, int speed, int brightness, int colorValue = 0,
                       int configFunc = 0) {
    LightModeRecord r;
    r.m_mode = mode;
    r.m_colorIndex = colorIndex;
    r.m_direction = direction;
    r.m_speed = speed;
    r.m_brightness = brightness;
    r.m_colorValue = colorValue;
    r.m_configFunc = configFunc;
    return r;
}

MacroEventRecord Event(int type, int vk, int delay) {
    MacroEventRecord e;
    e.m_type = type;
    e.m_value = vk;
    e.m_delayTime = delay;
    return e;
}

} // namespace

// Catches a wrong unit boundary, a count off by one, a missing clamp or the 0/1 byte rule.
TEST(ProtocolReports, DelayEncoding) {
    struct Case {
        int delay;
        bool released;
        int expected;
    };
    const Case cases[] = {
        {0, false, 0x01},    {0, true, 0x81},     {-5, false, 0x01},    {-5, true, 0x80},
        {10, false, 0x01},   {11, false, 0x01},   {25, false, 0x02},    {310, false, 0x1F},
        {311, false, 0x26},  {1550, false, 0x3F}, {1551, false, 0x4F},  {3100, false, 0x5F},
        {3100, true, 0xDF},  {3101, false, 0x63}, {31000, false, 0x7F}, {45000, false, 0x7F},
        {45000, true, 0xFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeDelay(c.delay, c.released), c.expected) << c.delay << (c.released ? " up" : " down");
}

// Catches misplaced fixed bytes in the small feature reports.
TEST(ProtocolReports, FixedFeatureReports) {
    EXPECT_EQ(V(BuildSlotTableRequest()), Bytes({0x07, 0xFB, 0x01, 0, 0, 0, 0, 0}));
    EXPECT_EQ(V(BuildFirmwareVersionRequest()), Bytes({0x07, 0xFD, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(V(BuildRemapSlotReport(3, 0x2C, 5)), Bytes({0x07, 0xFA, 0x01, 3, 0x2C, 0x01, 5, 0x01}));
    EXPECT_EQ(V(BuildRemapSlotReport(10, 0, 0)), Bytes({0x07, 0xFA, 0x01, 10, 0, 0x01, 0, 0x01}));
    EXPECT_EQ(V(BuildFactoryResetFeature()), Bytes({0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0}));
    EXPECT_EQ(V(BuildMusicLevelReport(1, 6, 200)), Bytes({0x07, 0x23, 0x45, 0x67, 0x89, 1, 6, 200}));
    std::vector<uint8_t> first(64, 0), second(64, 0);
    const uint8_t magic[] = {0xBB, 0xAA, 0x99, 0x88};
    std::copy(magic, magic + 4, first.begin());
    std::copy(magic, magic + 4, second.begin());
    std::fill_n(first.begin() + 4, 6, 0xAA);
    EXPECT_EQ(V(BuildWirelessResetFirst()), first);
    EXPECT_EQ(V(BuildWirelessResetSecond()), second);
}

// Catches an unclamped or rounded music level.
TEST(ProtocolReports, MusicLevelScaling) {
    EXPECT_EQ(ScaleMusicLevel(128, 2.0), 255);
    EXPECT_EQ(ScaleMusicLevel(100, 1.0), 100);
    EXPECT_EQ(ScaleMusicLevel(99, 0.5), 49);
    EXPECT_EQ(ScaleMusicLevel(-3, 1.0), 0);
}

// Catches wrong header bytes, events in the wrong place, non-key events carried, or more than 82 pairs.
TEST(ProtocolReports, MacroBlockAndPackets) {
    MacroRecord macro;
    macro.m_playTimes = 3;
    std::vector<MacroEventRecord> events = {Event(2, 65, 0), Event(1, 0, 500), Event(3, 65, 120),
                                            Event(4, 0, 0)};
    MacroBlock block = BuildMacroBlock(5, 0x1E, &macro, events);
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 8),
              Bytes({1, 5, 0x1E, 3, 0x04, 0x01, 0x04, 0x8C}));
    EXPECT_EQ(block[8], 0);

    // Without its macro row the key code and play count stay 0, yet the events still go out.
    block = BuildMacroBlock(2, 0x1E, nullptr, events);
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 6), Bytes({1, 2, 0, 0, 0x04, 0x01}));

    std::vector<MacroEventRecord> many;
    for (int i = 0; i < 90; ++i)
        many.push_back(Event(i % 2 == 0 ? 2 : 3, 66, 10));
    block = BuildMacroBlock(1, 0x05, &macro, many);
    EXPECT_EQ(block[4 + 2 * 81], 0x05);     // pair 82 is there
    EXPECT_EQ(block[4 + 2 * 81 + 1], 0x81); // and is a release

    const auto packets = SplitMacroBlock(block);
    EXPECT_EQ(V(packets[0]), Bytes({0x07, 0xF1, 1, 1, 0x05, 3, 0x05, 0x01}));
    for (int i = 1; i < kMacroPacketCount; ++i) {
        EXPECT_EQ(packets[i][0], 0x07);
        EXPECT_EQ(packets[i][1], 0x00);
        EXPECT_TRUE(std::equal(packets[i].begin() + 2, packets[i].end(), block.begin() + 6 * i)) << i;
    }

    block = BuildShortcutMacroBlock(4, 0x3A, 13);
    EXPECT_EQ(
        std::vector<uint8_t>(block.begin(), block.begin() + 17),
        Bytes({1, 4, 0x3A, 1, 0xE2, 0x01, 0x2C, 0x01, 0x1B, 0x01, 0x1B, 0x81, 0x2C, 0x81, 0xE2, 0x81, 0}));
    block = BuildClearedMacroBlock(12);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0), 166);
}

// Catches each lighting-field rule: 4/5 swap, colour override, mode-9 exception, option gate, decrements.
TEST(ProtocolReports, LightEffectFields) {
    struct Case {
        const char* what;
        LightModeRecord effect;
        int option;
        std::vector<uint8_t> feature; // m c d s b o
        std::vector<uint8_t> wireless;
    };
    const Case cases[] = {
        {"plain", Effect(1, 2, 1, 3, 4), 7, Bytes({0, 2, 1, 2, 3, 0}), Bytes({0, 2, 1, 2, 3, 0})},
        {"swap 4", Effect(3, 4, 0, 1, 1), 0, Bytes({2, 5, 0, 0, 0, 0}), Bytes({2, 5, 0, 0, 0, 0})},
        {"swap 5", Effect(3, 5, 0, 1, 1), 0, Bytes({2, 4, 0, 0, 0, 0}), Bytes({2, 4, 0, 0, 0, 0})},
        {"no swap m=0", Effect(1, 4, 0, 1, 1), 0, Bytes({0, 4, 0, 0, 0, 0}), Bytes({0, 4, 0, 0, 0, 0})},
        {"colour m=3", Effect(4, 1, 2, 3, 5, 0x00CCBBAA, 0x100), 6, Bytes({3, 1, 0xAA, 0xBB, 4, 0xCC}),
         Bytes({3, 1, 0xAA, 0xBB, 4, 0xCC})},
        {"zero speed", Effect(2, 0, 0, 0, 0), 0, Bytes({1, 0, 0, 0, 0, 0}), Bytes({1, 0, 0, 0, 0, 0})},
        {"option", Effect(6, 0, 0, 2, 2, 0, 0x100), 3, Bytes({5, 0, 0, 1, 1, 3}), Bytes({5, 0, 0, 1, 1, 3})},
        {"mode 9", Effect(9, 4, 2, 3, 2), 0, Bytes({8, 4, 2, 3, 1, 0}), Bytes({8, 4, 2, 2, 1, 0})},
    };
    for (const Case& c : cases) {
        const Report8 f = BuildLightEffectFeature(c.effect, c.option);
        const Report64 w = BuildLightEffectWireless(c.effect, c.option);
        EXPECT_EQ(f[0], 0x07) << c.what;
        EXPECT_EQ(f[1], 0xF7) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(f.begin() + 2, f.end()), c.feature) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(w.begin(), w.begin() + 5), Bytes({0xBB, 0xAA, 0x99, 0x88, 0xAA}))
            << c.what;
        EXPECT_EQ(std::vector<uint8_t>(w.begin() + 5, w.begin() + 11), c.wireless) << c.what;
        EXPECT_TRUE(std::all_of(w.begin() + 11, w.end(), [](uint8_t b) { return b == 0; })) << c.what;
    }
}

// Catches colour bytes in the wrong order or place, keys without a valid position written, wrong report
// headers.
TEST(ProtocolReports, ColourTableAndReports) {
    std::vector<KeyLightRecord> lights(4);
    lights[0].m_keyCode = 0x04, lights[0].m_keyRgb = 0x00332211;
    lights[1].m_keyCode = 0x05, lights[1].m_keyRgb = 0x00FFFFFF; // position 150: outside the table
    lights[2].m_keyCode = 0x06, lights[2].m_keyRgb = 0x00FFFFFF; // no position
    lights[3].m_keyCode = 0x07, lights[3].m_keyRgb = 0x00654321;
    const std::map<int, int> positions = {{0x04, 2}, {0x05, 150}, {0x07, 149}};
    const ColourTable table = BuildColourTable(lights, positions);
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 8, table.begin() + 12), Bytes({0x11, 0x22, 0x33, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 596, table.end()), Bytes({0x21, 0x43, 0x65, 0xFF}));
    EXPECT_EQ(std::count(table.begin(), table.end(), 0), 600 - 8);

    const auto reports = BuildColourReports(table);
    for (int i = 0; i < kColourReportCount; ++i) {
        const Report65& r = reports[i];
        EXPECT_EQ(std::vector<uint8_t>(r.begin(), r.begin() + 5),
                  Bytes({0, 0x8B, i == 7 ? 20 : 60, (i * 60) & 0xFF, (i * 60) >> 8}))
            << i;
        EXPECT_TRUE(std::equal(r.begin() + 5, r.end(), table.begin() + i * 60)) << i;
    }
}
