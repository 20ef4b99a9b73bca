// molvanectl's lighting commands over the page model, the database and the emulated keyboard.
#include "LightingTestSupport.h"

#include "lighting/LightEffectBits.h"
#include "lighting/LightingCommands.h"

#include <map>
#include <sstream>

class LightingCommandsTest : public LightingTest {
protected:
    void SetUp() override
    {
        LightingTest::SetUp();
        m_context.m_service = &m_service;
        m_context.m_keyboardPresent = [this] { return m_keyboard; };
        m_context.m_waitForJobs = [this] {
            RunJobs();
            return true;
        };
        m_context.m_text = [](int id) {
            static const std::map<int, std::string> names{{3001, "Static"}, {3004, "Wave"}, {3020, "Custom"}};
            auto it = names.find(id);
            return it == names.end() ? std::string() : it->second;
        };
    }

    int Run(std::vector<std::string> args)
    {
        m_out.str({});
        m_err.str({});
        return RunLightingCommand(args, m_context, m_out, m_err);
    }

    bool m_keyboard = true;
    LightingCommandContext m_context;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

// Catches wrong exit codes for help, usage mistakes, values out of range, settings the effect does
// not offer and a missing keyboard, and a refused command that still changed the database.
TEST_F(LightingCommandsTest, ExitCodesAndNothingStoredOnRefusal)
{
    struct Case { std::vector<std::string> args; bool keyboard; int exit; const char* says; } cases[] = {
        {{"light", "--help"}, true, LIGHT_EXIT_OK, "usage"},
        {{"colors", "set", "--help"}, true, LIGHT_EXIT_OK, "KEY=RRGGBB"},
        {{"light", "jump"}, true, LIGHT_EXIT_USAGE, "usage"},
        {{"light", "select", "42"}, true, LIGHT_EXIT_USAGE, "no effect"},
        {{"light", "set", "brightness=9"}, true, LIGHT_EXIT_USAGE, "0 to 5"},
        {{"light", "set", "color=12345"}, true, LIGHT_EXIT_USAGE, "RRGGBB"},
        {{"light", "set", "glow=1"}, true, LIGHT_EXIT_USAGE, "unknown setting"},
        {{"light", "set", "brightness=2", "colorindex=1"}, true, LIGHT_EXIT_REFUSED, "no colorindex"},
        {{"light", "set", "brightness=2"}, false, LIGHT_EXIT_NO_KEYBOARD, "no keyboard"},
        {{"colors", "set", "7=FF0000"}, true, LIGHT_EXIT_USAGE, "several keys"},
        {{"colors", "set", "Nokey=FF0000"}, true, LIGHT_EXIT_USAGE, "no key"},
        {{"colors", "apply"}, true, LIGHT_EXIT_REFUSED, "light select 11"},
        {{"colors", "apply"}, false, LIGHT_EXIT_NO_KEYBOARD, "no keyboard"},
    };
    ShowMode(kModeStatic);
    const LightModeRecord before = Stored(kModeStatic);
    for (const Case& c : cases) {
        m_keyboard = c.keyboard;
        const std::string line = ::testing::PrintToString(c.args);
        EXPECT_EQ(Run(c.args), c.exit) << line;
        EXPECT_NE((m_out.str() + m_err.str()).find(c.says), std::string::npos) << line << ": " << m_err.str();
    }
    const LightModeRecord after = Stored(kModeStatic);
    EXPECT_EQ(after.m_brightness, before.m_brightness);
    EXPECT_EQ(after.m_colorValue, before.m_colorValue);
    EXPECT_EQ(m_db.GetSelectedLightMode(kProfile1), kModeStatic);
    std::vector<KeyLightRecord> rows;
    EXPECT_EQ(m_db.LoadKeyLights(ProfileDatabase::kCustomLightId, rows), 0);
}

// Catches a scripted session not reaching the keyboard: an effect chosen by name, its colour set
// in RRGGBB order, per-key colours stored by name and code (one name holding '='), then applied.
TEST_F(LightingCommandsTest, ScriptedSessionReachesTheKeyboard)
{
    ASSERT_EQ(Run({"light"}), LIGHT_EXIT_OK);
    EXPECT_NE(m_out.str().find("* 5\tWave"), std::string::npos) << m_out.str();

    ASSERT_EQ(Run({"light", "select", "static"}), LIGHT_EXIT_OK) << m_err.str();
    EXPECT_EQ(m_db.GetSelectedLightMode(kProfile1), kModeStatic);
    ASSERT_EQ(Run({"light", "set", "brightness=2", "color=FF8000"}), LIGHT_EXIT_OK) << m_err.str();
    EXPECT_EQ(Stored(kModeStatic).m_colorValue, 0x0080FF);
    // The static effect sends its colour in place of direction, speed and option.
    EXPECT_EQ(*m_emulator->State().featureEffect, (std::array<uint8_t, 6>{0x03, 0x00, 0xFF, 0x80, 0x01, 0x00}));

    ASSERT_EQ(Run({"colors", "set", "esc=00FF00", "0x3A=0000FF", "= +=FFFFFF"}), LIGHT_EXIT_OK) << m_err.str();
    ASSERT_EQ(Run({"colors"}), LIGHT_EXIT_OK);
    EXPECT_NE(m_out.str().find("0x29\tEsc\t00FF00"), std::string::npos) << m_out.str();
    ASSERT_EQ(Run({"light", "select", "11"}), LIGHT_EXIT_OK) << m_err.str();
    ASSERT_EQ(Run({"colors", "apply"}), LIGHT_EXIT_OK) << m_err.str();
    const ColourTable colours = m_emulator->State().colours;
    EXPECT_EQ(std::vector<uint8_t>(colours.begin(), colours.begin() + 8),
              (std::vector<uint8_t>{0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(colours.begin() + 4 * 28, colours.begin() + 4 * 29),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(m_jobs.m_queue.empty());
}

// Catches the music effect selectable over the receiver, where its levels cannot be sent.
TEST_F(LightingCommandsTest, MusicEffectRefusedOverTheReceiver)
{
    Connect(1);
    EXPECT_EQ(Run({"light", "select", "12"}), LIGHT_EXIT_REFUSED);
    EXPECT_NE(m_err.str().find("connection mode"), std::string::npos) << m_err.str();
    Connect(0);
    EXPECT_EQ(Run({"light", "select", "12"}), LIGHT_EXIT_OK) << m_err.str();
    EXPECT_EQ(m_db.GetSelectedLightMode(kProfile1), kModeMusic);
}
