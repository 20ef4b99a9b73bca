// What reaches the emulated keyboard after the lighting page queued its uploads, byte for byte.
#include "LightingTestSupport.h"

#include "lighting/LightEffectBits.h"

namespace {

std::vector<std::vector<uint8_t>> Writes(const EmulatorState& state, EmulatedReport::Kind kind)
{
    std::vector<std::vector<uint8_t>> out;
    for (const EmulatedReport& r : state.log)
        if (r.kind == kind)
            out.push_back(r.bytes);
    return out;
}

} // namespace

// Catches the page's stored values not being what the effect command carries (mode, colour index,
// direction, speed and brightness each sent minus one where due, the option byte only for the
// custom effect's slot).
TEST_F(LightingTest, EffectCommandCarriesTheStoredParameters)
{
    ShowMode(kModeWave);
    ASSERT_EQ(m_service.OnBrightness(4), LightResult::Done);
    ASSERT_EQ(m_service.OnDirection(kIdDirectionRight), LightResult::Done);
    ASSERT_EQ(m_service.OnColourSetButton(kIdColourSet2First + 3), LightResult::Done);
    m_emulator->ClearLog();
    ASSERT_EQ(RunJobs(), 1);
    auto writes = Writes(m_emulator->State(), EmulatedReport::Kind::FeatureWrite);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], (std::vector<uint8_t>{0x07, 0xF7, 0x04, 0x03, 0x02, 0x02, 0x03, 0x00}));

    ShowMode(kModeCustom);
    ASSERT_EQ(m_service.OnCustomSlot(2), LightResult::Done);
    m_emulator->ClearLog();
    ASSERT_EQ(RunJobs(), 1);
    writes = Writes(m_emulator->State(), EmulatedReport::Kind::FeatureWrite);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], (std::vector<uint8_t>{0x07, 0xF7, 0x0A, 0x00, 0x00, 0x02, 0x04, 0x02}));
}

// Catches the wireless modes being sent the cable's feature report instead of the 64-byte one.
TEST_F(LightingTest, WirelessEffectGoesOutAsTheLongReport)
{
    Connect(1);
    ShowMode(kModeBreathing);
    ASSERT_EQ(m_service.OnSpeed(5), LightResult::Done);
    m_emulator->ClearLog();
    ASSERT_EQ(RunJobs(), 1);
    const EmulatorState state = m_emulator->State();
    EXPECT_TRUE(Writes(state, EmulatedReport::Kind::FeatureWrite).empty());
    ASSERT_TRUE(state.wirelessEffect);
    EXPECT_EQ(*state.wirelessEffect, (std::array<uint8_t, 6>{0x01, 0x00, 0x00, 0x04, 0x04, 0x00}));
}

// Catches applied key colours landing at the wrong light position or channel order, unpainted keys
// not sent as black with 0xFF, or the table not sent in its eight reports.
TEST_F(LightingTest, AppliedKeyColoursReachTheColourTable)
{
    ShowMode(kModeCustom);
    const int esc = 0x29;     // light position 0
    const int backspace = 0x2A; // light position 29
    ASSERT_EQ(m_service.SetKeyColour(esc, 0x563412), LightResult::Done);
    ASSERT_EQ(m_service.SetKeyColour(backspace, LightColours::kWhite), LightResult::Done);
    ASSERT_EQ(m_service.SaveKeyColours(), LightResult::Done);
    m_emulator->ClearLog();
    ASSERT_EQ(RunJobs(), 1);
    const EmulatorState state = m_emulator->State();
    const auto reports = Writes(state, EmulatedReport::Kind::OutputWrite);
    ASSERT_EQ(reports.size(), static_cast<size_t>(kColourReportCount));
    for (const auto& report : reports)
        EXPECT_EQ(report[1], 0x8B);
    auto entry = [&state](int position) {
        return std::vector<uint8_t>(state.colours.begin() + 4 * position, state.colours.begin() + 4 * position + 4);
    };
    EXPECT_EQ(entry(0), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0xFF}));
    EXPECT_EQ(entry(29), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(entry(1), (std::vector<uint8_t>{0x00, 0x00, 0x00, 0xFF})) << "a stored but unpainted key";
}
