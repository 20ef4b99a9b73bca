// The lighting page's rules against a real database file and the shipped MK71 layout.
#include "LightingTestSupport.h"

#include "lighting/LightEffectBits.h"

// Catches a new profile's effects created with wrong defaults, in the wrong order, or without the
// layout's default effect selected.
TEST_F(LightingTest, NewProfileGetsEveryLayoutEffectRedMulticolourDefaultSelected)
{
    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    std::vector<LightModeRecord> rows;
    ASSERT_EQ(m_db.LoadLightModes(kProfile1, rows), static_cast<int>(m_def.m_lightModes.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].m_mode, m_def.m_lightModes[i].m_mode);
        EXPECT_EQ(rows[i].m_configFunc, m_def.m_lightModes[i].m_configFunc);
        EXPECT_EQ(rows[i].m_colorValue, LightColours::kRed);
        EXPECT_EQ(rows[i].m_colorful, 1);
        EXPECT_EQ(rows[i].m_brightness, 5);
        EXPECT_EQ(rows[i].m_speed, 3);
        EXPECT_EQ(rows[i].m_direction, 0);
    }
    EXPECT_EQ(m_db.GetSelectedLightMode(kProfile1), kModeWave);
    EXPECT_EQ(m_service.Page().m_currentMode, kModeWave);
    EXPECT_EQ(m_jobs.m_queue.size(), 0u) << "showing the page must send nothing";
    // A second load creates nothing more.
    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    EXPECT_EQ(m_db.CountLightModes(kProfile1), static_cast<int>(rows.size()));
}

// Catches a profile shown after another one was used losing its effect: selecting an effect clears
// every profile's mark, so the page must fall back to the layout's default instead of showing nothing.
TEST_F(LightingTest, ProfileWhoseMarkWasClearedShowsTheDefaultEffect)
{
    ShowMode(kModeStatic);
    m_service.SetProfile(kProfile2);
    ShowMode(kModeSnake);
    m_service.SetProfile(kProfile1);
    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    EXPECT_EQ(m_service.Page().m_currentMode, kModeWave);
    EXPECT_EQ(m_db.GetSelectedLightMode(kProfile1), kModeWave);
}

// Catches the music effect offered over the wireless carriers (which cannot send its levels) or
// missing on the cable.
TEST_F(LightingTest, MusicEffectListedOnlyOnTheCable)
{
    for (int mode : {0, 1, 2}) {
        m_service.SetConnectionMode(mode);
        ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
        const auto& effects = m_service.Page().m_effects;
        const bool listed = std::any_of(effects.begin(), effects.end(),
                                        [](const LightEffectEntry& e) { return e.m_mode == kModeMusic; });
        EXPECT_EQ(listed, mode == 0) << "connection mode " << mode;
        EXPECT_EQ(effects.size(), m_def.m_lightModes.size() - (mode == 0 ? 0 : 1));
    }
}

// Catches an editor shown for an effect that lacks its bit (or hidden for one that has it), and
// hidden sliders not reset to 0.
TEST_F(LightingTest, EditorsFollowTheEffectBits)
{
    struct Case {
        int mode;
        bool brightness, speed, horizontal, vertical, rgb, button;
        std::array<bool, 3> sets;
        bool options, custom, music;
    } cases[] = {
        {kModeOff, false, false, false, false, false, false, {false, false, false}, false, false, false},
        {kModeBreathing, true, true, false, false, false, true, {false, false, false}, false, false, false},
        {kModeStatic, true, false, false, false, true, false, {false, false, false}, false, false, false},
        {kModeWave, true, true, true, false, false, false, {false, true, false}, false, false, false},
        {kModeRipple, true, true, false, false, false, false, {false, false, true}, false, false, false},
        {kModeSnake, true, true, false, true, false, false, {false, false, false}, false, false, false},
        {kModeAreas, true, false, false, false, false, false, {false, false, false}, true, false, false},
        {kModeCustom, true, false, false, false, true, false, {false, false, false}, false, true, false},
        {kModeMusic, false, false, false, false, false, false, {false, false, false}, false, false, true},
    };
    for (const Case& c : cases) {
        ShowMode(c.mode);
        const LightPageModel& p = m_service.Page();
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        EXPECT_EQ(p.m_brightnessVisible, c.brightness);
        EXPECT_EQ(p.m_brightness, c.brightness ? 5 : 0);
        EXPECT_EQ(p.m_speedVisible, c.speed);
        EXPECT_EQ(p.m_speed, c.speed ? 3 : 0);
        EXPECT_EQ(p.m_horizontalVisible, c.horizontal);
        EXPECT_EQ(p.m_verticalVisible, c.vertical);
        EXPECT_EQ(p.m_rgbVisible, c.rgb);
        EXPECT_EQ(p.m_colourButtonVisible, c.button);
        EXPECT_EQ(p.m_colourSetVisible, c.sets);
        EXPECT_EQ(p.m_optionsVisible, c.options);
        EXPECT_EQ(p.m_customVisible, c.custom);
        EXPECT_EQ(p.m_musicPanelVisible, c.music);
        EXPECT_EQ(p.m_preview.m_mode, c.custom ? kPreviewCustom : c.music ? kPreviewStill : kPreviewEffect);
    }
}

// Catches selecting the music effect uploading a lighting command, or other effects not uploading.
TEST_F(LightingTest, EffectSelectionUploadsExceptTheMusicEffect)
{
    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    for (int mode : {kModeStatic, kModeCustom, kModeMusic, kModeOff}) {
        m_jobs.m_queue.clear();
        m_jobs.m_waitDialogs = 0;
        ASSERT_EQ(m_service.SelectEffectMode(mode), LightResult::Done);
        const bool uploads = mode != kModeMusic;
        EXPECT_EQ(Count(QueuedJob::Lighting), uploads ? 1 : 0) << "mode " << mode;
        EXPECT_EQ(m_jobs.m_waitDialogs, uploads ? 1 : 0) << "mode " << mode;
        EXPECT_EQ(m_db.GetSelectedLightMode(kProfile1), mode);
    }
    EXPECT_EQ(m_service.SelectEffectMode(99), LightResult::NotOffered);
}

// Catches values beyond the layout's maxima or below 0 reaching the database, and a typed colour
// channel of 300 stored (or shown) as anything but 255.
TEST_F(LightingTest, ParametersAreClamped)
{
    ShowMode(kModeBreathing);
    struct Case { bool brightness; int value; int stored; } cases[] = {
        {true, 9, 5}, {true, -3, 0}, {true, 4, 4}, {false, 6, 5}, {false, -1, 0}, {false, 2, 2},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.brightness ? m_service.OnBrightness(c.value) : m_service.OnSpeed(c.value), LightResult::Done);
        const LightModeRecord r = Stored(kModeBreathing);
        EXPECT_EQ(c.brightness ? r.m_brightness : r.m_speed, c.stored) << c.value;
        EXPECT_EQ(c.brightness ? m_service.Page().m_brightness : m_service.Page().m_speed, c.stored);
    }
    ShowMode(kModeStatic);
    ASSERT_EQ(m_service.OnRgbChannel(kIdGreenField, 300), LightResult::Done);
    EXPECT_EQ(m_service.Page().m_rgb[1], 255);
    EXPECT_EQ(Stored(kModeStatic).m_colorValue, 0x00FFFF);
    ASSERT_EQ(m_service.OnRgbChannel(kIdRedSlider, -20), LightResult::Done);
    EXPECT_EQ(Stored(kModeStatic).m_colorValue, 0x00FF00);
}

// Catches every slider step queueing its own upload, an upload sending a stale value, and a change
// lost because some other job (not a lighting upload) was waiting.
TEST_F(LightingTest, TwoSliderMovesMakeOneUploadOfTheLastValue)
{
    ShowMode(kModeBreathing);
    ASSERT_EQ(m_service.OnBrightness(2), LightResult::Done);
    ASSERT_EQ(m_service.OnBrightness(4), LightResult::Done);
    ASSERT_EQ(m_service.OnSpeed(1), LightResult::Done);
    EXPECT_EQ(Count(QueuedJob::Lighting), 1);
    EXPECT_EQ(m_jobs.m_waitDialogs, 1);
    m_emulator->ClearLog();
    EXPECT_EQ(RunJobs(), 1);
    const EmulatorState state = m_emulator->State();
    ASSERT_TRUE(state.featureEffect);
    EXPECT_EQ((*state.featureEffect)[4], 4 - 1) << "brightness is sent as brightness - 1";
    EXPECT_EQ((*state.featureEffect)[3], 0) << "speed 1 is sent as 0";

    m_jobs.m_queue.push_back(QueuedJob::Other);
    ASSERT_EQ(m_service.OnBrightness(1), LightResult::Done);
    EXPECT_EQ(Count(QueuedJob::Lighting), 1) << "a waiting job of another kind will not carry the change";
}

// Catches the direction pairs storing the wrong value, the vertical pair ignored, and a pair the
// effect does not offer changing the record.
TEST_F(LightingTest, DirectionPairs)
{
    struct Case { int mode; int control; LightResult result; int direction; } cases[] = {
        {kModeWave, kIdDirectionLeft, LightResult::Done, 1},
        {kModeWave, kIdDirectionRight, LightResult::Done, 2},
        {kModeSnake, kIdDirectionTop, LightResult::Done, 2},
        {kModeSnake, kIdDirectionBottom, LightResult::Done, 1},
        {kModeSnake, kIdDirectionLeft, LightResult::NotOffered, 0},
        {kModeWave, kIdDirectionTop, LightResult::NotOffered, 0},
    };
    for (const Case& c : cases) {
        ShowMode(c.mode);
        LightModeRecord reset = Stored(c.mode);
        reset.m_direction = 0;
        ASSERT_TRUE(m_db.UpdateLightMode(kProfile1, c.mode, reset));
        EXPECT_EQ(m_service.OnDirection(c.control), c.result) << c.control;
        EXPECT_EQ(Stored(c.mode).m_direction, c.direction) << c.control;
        if (c.result == LightResult::Done) {
            ASSERT_EQ(m_service.ShowEffect(), LightResult::Done);
            const LightPageModel& p = m_service.Page();
            EXPECT_EQ(c.mode == kModeWave ? p.m_leftChecked : p.m_topChecked,
                      c.control == kIdDirectionLeft || c.control == kIdDirectionTop);
        }
    }
}

// Catches a colour button storing the wrong index, or a set the effect does not show being taken.
TEST_F(LightingTest, ColourSetButtonsStoreTheirIndex)
{
    struct Case { int mode; int control; LightResult result; int index; } cases[] = {
        {kModeSpectrum, kIdColourSet1First + 3, LightResult::Done, 3},
        {kModeWave, kIdColourSet2First + 7, LightResult::Done, 7},
        {kModeRipple, kIdColourSet3First, LightResult::Done, 0},
        {kModeWave, kIdColourSet1First + 2, LightResult::NotOffered, 5},
        {kModeStatic, kIdColourSet3First + 1, LightResult::NotOffered, 5},
    };
    for (const Case& c : cases) {
        ShowMode(c.mode);
        LightModeRecord reset = Stored(c.mode);
        reset.m_colorIndex = 5;
        ASSERT_TRUE(m_db.UpdateLightMode(kProfile1, c.mode, reset));
        EXPECT_EQ(m_service.OnColourSetButton(c.control), c.result) << c.control;
        EXPECT_EQ(Stored(c.mode).m_colorIndex, c.index) << c.control;
        EXPECT_EQ(Count(QueuedJob::Lighting), c.result == LightResult::Done ? 1 : 0) << c.control;
    }
}

// Catches an option row writing the wrong nibble, disturbing the other nibble of its field, or two
// rows sharing one nibble so that one choice overwrites another.
TEST_F(LightingTest, OptionRowsEachKeepTheirOwnNibble)
{
    ShowMode(kModeAreas);
    LightModeRecord zero = Stored(kModeAreas);
    zero.m_speed = zero.m_direction = zero.m_colorIndex = 0;
    ASSERT_TRUE(m_db.UpdateLightMode(kProfile1, kModeAreas, zero));
    const int choices[kOptionRows] = {1, 2, 3, 4, 5, 6};
    for (int row = 0; row < kOptionRows; ++row)
        ASSERT_EQ(m_service.OnOptionChoice(kIdOptionFirst + row * kOptionRowStride + choices[row]), LightResult::Done);
    const LightModeRecord r = Stored(kModeAreas);
    EXPECT_EQ(r.m_speed, 0x61);
    EXPECT_EQ(r.m_direction, 0x32);
    EXPECT_EQ(r.m_colorIndex, 0x54);
    EXPECT_EQ(Count(QueuedJob::Lighting), 1);
    EXPECT_EQ(m_jobs.m_waitDialogs, 0) << "option choices upload without the wait dialog";
    // Shown again, each row checks its own stored choice.
    ASSERT_EQ(m_service.LoadLightPage(), LightResult::Done);
    for (int row = 0; row < kOptionRows; ++row)
        EXPECT_EQ(m_service.Page().m_optionChoice[row], choices[row]) << "row " << row;
    // The gap id between rows and effects without option rows take nothing.
    EXPECT_EQ(m_service.OnOptionChoice(kIdOptionFirst + 7), LightResult::NotOffered);
    ShowMode(kModeStatic);
    EXPECT_EQ(m_service.OnOptionChoice(kIdOptionFirst), LightResult::NotOffered);
}

// Catches a colour chosen while multicolour is on leaving it on, the uncheck rule for red, and the
// custom effect's colour being uploaded instead of only setting the paint colour.
TEST_F(LightingTest, ColourChoicesAndMulticolour)
{
    ShowMode(kModeBreathing);
    ASSERT_TRUE(m_service.Page().m_multicolour);
    ASSERT_EQ(m_service.SetEffectColour(LightColours::kBlue), LightResult::Done);
    LightModeRecord r = Stored(kModeBreathing);
    EXPECT_EQ(r.m_colorValue, LightColours::kBlue);
    EXPECT_EQ(r.m_colorful, 0);
    EXPECT_FALSE(m_service.Page().m_multicolour);
    EXPECT_EQ(Count(QueuedJob::Lighting), 1);

    ASSERT_EQ(m_service.OnMulticolour(true, true), LightResult::Done);
    EXPECT_EQ(Stored(kModeBreathing).m_colorful, 1);
    ASSERT_EQ(m_service.OnMulticolour(false, false), LightResult::Done);
    EXPECT_EQ(Stored(kModeBreathing).m_colorValue, LightColours::kBlue) << "kept when not clicked";
    ASSERT_EQ(m_service.OnMulticolour(false, true), LightResult::Done);
    EXPECT_EQ(Stored(kModeBreathing).m_colorValue, LightColours::kRed) << "a click resets it to red";
    EXPECT_EQ(Count(QueuedJob::Lighting), 1) << "one waiting upload carries every stored change";

    ShowMode(kModeCustom);
    ASSERT_EQ(m_service.OnPreset(kIdPresetFirst + 6), LightResult::Done); // cyan
    EXPECT_EQ(m_service.Page().m_paintColour, LightColours::kCyan);
    EXPECT_EQ(Stored(kModeCustom).m_colorValue, LightColours::kCyan);
    EXPECT_TRUE(m_jobs.m_queue.empty()) << "the custom effect's colour only paints";
    EXPECT_EQ(m_service.OnMulticolour(true, true), LightResult::NotOffered);
}

// Catches handlers acting on an effect whose record is gone (a mode the layout no longer lists).
TEST_F(LightingTest, MissingRecordChangesNothing)
{
    ShowMode(kModeBreathing);
    ASSERT_TRUE(m_db.Connection().Execute("DELETE FROM t_light_data WHERE mode = 2") == 0);
    EXPECT_EQ(m_service.OnBrightness(1), LightResult::NoEffect);
    EXPECT_EQ(m_service.SetEffectColour(LightColours::kGreen), LightResult::NoEffect);
    EXPECT_TRUE(m_jobs.m_queue.empty());
}

// Catches per-key colours stored per profile instead of shared, a save that drops unpainted keys,
// painting outside the custom effect, and unapplied painting surviving an effect switch.
TEST_F(LightingTest, PerKeyColoursAreOneSetSharedByAllProfiles)
{
    EXPECT_EQ(m_service.SaveKeyColours(), LightResult::Refused) << "no custom effect shown";
    ShowMode(kModeCustom);
    const int esc = 0x29;
    const int f1 = 0x3A;
    ASSERT_EQ(m_service.SetEffectColour(LightColours::kGreen), LightResult::Done);
    ASSERT_EQ(m_service.PaintKey(esc), LightResult::Done);
    ASSERT_EQ(m_service.SaveKeyColours(), LightResult::Done);
    EXPECT_EQ(Count(QueuedJob::KeyColours), 1);
    std::vector<KeyLightRecord> rows;
    ASSERT_EQ(m_db.LoadKeyLights(ProfileDatabase::kCustomLightId, rows), static_cast<int>(m_service.Layout().m_keys.size()));

    m_service.SetProfile(kProfile2);
    ShowMode(kModeCustom);
    EXPECT_EQ(m_service.Page().m_keyColours.at(esc), LightColours::kGreen);
    EXPECT_EQ(m_service.Page().m_keyColours.at(f1), 0);
    ASSERT_EQ(m_service.SetKeyColour(f1, LightColours::kBlue), LightResult::Done);
    ASSERT_EQ(m_service.SaveKeyColours(), LightResult::Done);
    ASSERT_EQ(m_db.LoadKeyLights(ProfileDatabase::kCustomLightId, rows), static_cast<int>(m_service.Layout().m_keys.size()))
        << "a save replaces the set, it does not add a second one";

    m_service.SetProfile(kProfile1);
    ShowMode(kModeCustom);
    EXPECT_EQ(m_service.Page().m_keyColours.at(f1), LightColours::kBlue);
    ASSERT_EQ(m_service.SetKeyColour(esc, LightColours::kWhite), LightResult::Done);
    ShowMode(kModeStatic);
    EXPECT_EQ(m_service.PaintKey(esc), LightResult::Refused);
    ShowMode(kModeCustom);
    EXPECT_EQ(m_service.Page().m_keyColours.at(esc), LightColours::kGreen) << "unapplied painting is dropped";
}
