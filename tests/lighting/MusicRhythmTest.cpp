// The music settings and the levels the music effect sends to the emulated keyboard.
#include "LightingTestSupport.h"

#include "lighting/LightEffectBits.h"

#include <vector>

class MusicTest : public LightingTest {
protected:
    void SetUp() override
    {
        LightingTest::SetUp();
        m_service.Music().SetSender([this](int level, double sensitivity, int effect, int colour) {
            return m_protocol->SendMusicLevel(level, sensitivity, effect, colour);
        });
        m_loud[m_loud.size() - 10] = -32768;
    }
    int Packet() { return m_service.Music().OnMusicPacket(m_loud.data(), static_cast<int>(m_loud.size())); }

    std::vector<int16_t> m_loud = std::vector<int16_t>(64, 0);
};

// Catches levels sent while the page is hidden or another effect is shown, and sending not
// resuming when the user comes back to the page.
TEST_F(MusicTest, LevelsOnlyWhileTheMusicEffectIsShown)
{
    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    ASSERT_EQ(m_service.SelectEffectMode(kModeMusic), LightResult::Done);
    EXPECT_EQ(Packet(), -1) << "page not shown";
    m_service.SetPageShown(true);
    EXPECT_EQ(Packet(), 255);
    m_service.SetPageShown(false);
    EXPECT_EQ(Packet(), -1);
    m_service.SetPageShown(true);
    EXPECT_EQ(m_service.Music().OnMusicPacket(nullptr, 0), 0) << "silence sends level 0";
    ASSERT_EQ(m_service.SelectEffectMode(kModeStatic), LightResult::Done);
    EXPECT_EQ(Packet(), -1);
    EXPECT_EQ(m_emulator->State().musicLevels.size(), 2u);
}

// Catches the sensitivity taken before the effect is chosen, a wrong scale, and the effect and
// colour settings not reaching the level report.
TEST_F(MusicTest, SettingsReachTheLevelReport)
{
    MusicRhythm& music = m_service.Music();
    EXPECT_FLOAT_EQ(music.Sensitivity(), 1.0f) << "until the slider or the effect selection sets it";
    ASSERT_TRUE(music.OnMusicEffect(2));
    EXPECT_FALSE(music.OnMusicEffect(3));
    ASSERT_TRUE(music.OnMusicColour(kIdMusicColourFirst + 3));
    EXPECT_FALSE(music.OnMusicColour(kIdMusicColourFirst + 7));
    std::vector<int> periods;
    music.SetPeriodListener([&periods](int ms) { periods.push_back(ms); });
    EXPECT_FALSE(music.OnPeriod(0));
    EXPECT_TRUE(music.OnPeriod(66));
    EXPECT_EQ(periods, std::vector<int>{66});

    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    ASSERT_EQ(m_service.SelectEffectMode(kModeMusic), LightResult::Done);
    EXPECT_FLOAT_EQ(music.Sensitivity(), 2.0f) << "the slider starts at 100";
    EXPECT_TRUE(m_jobs.m_queue.empty()) << "the music effect sends no lighting command";
    m_service.SetPageShown(true);
    EXPECT_EQ(Packet(), 255) << "128 x 2.0 is clamped to 255";
    music.OnSensitivity(25);
    EXPECT_EQ(Packet(), 64);
    const EmulatorState state = m_emulator->State();
    ASSERT_EQ(state.musicLevels.size(), 2u);
    EXPECT_EQ(state.musicLevels[1].effect, 2);
    EXPECT_EQ(state.musicLevels[1].scheme, 3);
    EXPECT_EQ(state.musicLevels[1].level, 64);
}
