// Software playback: the action of each assignment type, macros from the store, the key path end to end.
#include "keys/IMacroSource.h"
#include "keys/SoftwarePlayback.h"
#include "keys/VHidev.h"
#include "link/PacingClock.h"

#include "FakeKeyboardNode.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

class FakeMacros final : public IMacroSource {
public:
    bool LoadMacro(int macroId, MacroRecord& record) override
    {
        auto found = m_macros.find(macroId);
        if (found == m_macros.end())
            return false;
        record = found->second;
        return true;
    }
    std::vector<MacroEventRecord> LoadMacroEvents(int macroId) override { return m_events[macroId]; }

    std::map<int, MacroRecord> m_macros;
    std::map<int, std::vector<MacroEventRecord>> m_events;
};

KeyAssignmentRecord Assignment(int keyCode, int type, int value, int value2 = 0)
{
    KeyAssignmentRecord row;
    row.m_keyCode = keyCode;
    row.m_macroType = type;
    row.m_macroValue = value;
    row.m_macroValue2 = value2;
    return row;
}

MacroEventRecord MacroEvent(int type, int virtualKey, int delay)
{
    MacroEventRecord event;
    event.m_type = type;
    event.m_value = virtualKey;
    event.m_delayTime = delay;
    return event;
}

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_device.UseOutput(m_out.WriteFd());
        m_playback.SetMacroQueue([this](int id) { m_queued.push_back(id); });
        m_playback.SetActionQueue([this](int type, int id) { m_actions.push_back({type, id}); });
        ASSERT_TRUE(m_playback.InitSoftwarePlayback());
        m_out.ReadAvailable();
    }

    EventPipe m_out;
    VHidev m_device;
    FakeMacros m_macros;
    VirtualPacingClock m_clock;
    SoftwarePlayback m_playback{m_device, m_macros, m_clock};
    std::vector<int> m_queued;
    std::vector<std::pair<int, int>> m_actions;
};

} // namespace

// Catches a wrong action for an assignment type: every press and release as the table says.
TEST_F(PlaybackTest, EachAssignmentTypeProducesItsFunction)
{
    struct Case {
        const char* what;
        int type;
        int value;
        std::vector<input_event> onPress;
        std::vector<input_event> onRelease;
        int modifiers = 0;
    } cases[] = {
        {"key", 2, 0x05, {Key(KEY_B, 1), Syn()}, {Key(KEY_B, 0), Syn()}},
        {"combination Ctrl+Shift+B", 2, 0x05,
         {Key(KEY_LEFTCTRL, 1), Syn(), Key(KEY_LEFTSHIFT, 1), Syn(), Key(KEY_B, 1), Syn()},
         {Key(KEY_B, 0), Syn(), Key(KEY_LEFTSHIFT, 0), Syn(), Key(KEY_LEFTCTRL, 0), Syn()}, 1 | 2},
        {"combination Alt+Win+B", 2, 0x05,
         {Key(KEY_LEFTALT, 1), Syn(), Key(KEY_LEFTMETA, 1), Syn(), Key(KEY_B, 1), Syn()},
         {Key(KEY_B, 0), Syn(), Key(KEY_LEFTMETA, 0), Syn(), Key(KEY_LEFTALT, 0), Syn()}, 4 | 8},
        {"media key", 2, 233, {Key(KEY_VOLUMEDOWN, 1), Syn()}, {Key(KEY_VOLUMEDOWN, 0), Syn()}},
        {"key value out of range", 2, 250, {}, {}},
        {"mouse right", 5, 3, {Key(BTN_RIGHT, 1), Syn()}, {Key(BTN_RIGHT, 0), Syn()}},
        {"mouse fifth", 5, 7, {Key(BTN_EXTRA, 1), Syn()}, {Key(BTN_EXTRA, 0), Syn()}},
        {"mouse value 4", 5, 4, {}, {}},
        {"shortcut Ctrl+C", 7, 2,
         {Key(KEY_LEFTCTRL, 1), Syn(), Key(KEY_C, 1), Syn(), Key(KEY_C, 0), Syn(), Key(KEY_LEFTCTRL, 0), Syn()},
         {}},
        {"macro", 3, 9, {}, {}},
        {"disabled key", 1, 1, {}, {}},
        {"further play/pause", 6, 1, {Key(KEY_PLAYPAUSE, 1), Syn()}, {Key(KEY_PLAYPAUSE, 0), Syn()}},
        {"further stop", 6, 2, {Key(KEY_STOPCD, 1), Syn()}, {Key(KEY_STOPCD, 0), Syn()}},
        {"further next track", 6, 4, {Key(KEY_NEXTSONG, 1), Syn()}, {Key(KEY_NEXTSONG, 0), Syn()}},
        {"further mute", 6, 7, {Key(KEY_MUTE, 1), Syn()}, {Key(KEY_MUTE, 0), Syn()}},
        {"further value 0", 6, 0, {}, {}},
        {"further value 8", 6, 8, {}, {}},
        {"program", 8, 21, {}, {}},
        {"web address", 9, 22, {}, {}},
        {"text", 10, 23, {}, {}},
        {"profile switch", 11, 24, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_playback.ArmSoftwarePlayback({Assignment(0x3A, c.type, c.value, c.modifiers)});
        m_playback.OnFilteredKey(0x3A, true);
        EXPECT_EVENTS(m_out.ReadAvailable(), c.onPress);
        m_playback.OnFilteredKey(0x3A, false);
        EXPECT_EVENTS(m_out.ReadAvailable(), c.onRelease);
    }
    EXPECT_EQ(m_queued, std::vector<int>{9}); // on press only
    const std::vector<std::pair<int, int>> actions = {{8, 21}, {9, 22}, {10, 23}, {11, 24}};
    EXPECT_EQ(m_actions, actions); // on press only, with the extra record id
    m_playback.OnFilteredKey(0x3B, true);     // no assignment
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches macros played with the wrong keys (virtual-key codes not converted), wrong press or
// release by record type, or a missing macro played anyway.
TEST_F(PlaybackTest, PlayMacroConvertsStoredEvents)
{
    MacroRecord macro;
    macro.m_macroId = 4;
    macro.m_playTimes = 1;
    m_macros.m_macros[4] = macro;
    m_macros.m_events[4] = {MacroEvent(2, 160, 0), MacroEvent(2, 65, 30), MacroEvent(3, 65, 0),
                            MacroEvent(3, 160, 0), MacroEvent(2, 173, 0), MacroEvent(3, 173, 0)};
    auto before = m_clock.Now();
    m_playback.PlayMacro(4);
    EXPECT_EVENTS(m_out.ReadAvailable(),
                  {Key(KEY_LEFTSHIFT, 1), Syn(), Key(KEY_A, 1), Syn(), Key(KEY_A, 0), Syn(), Key(KEY_LEFTSHIFT, 0),
                   Syn(), Key(KEY_MUTE, 1), Syn(), Key(KEY_MUTE, 0), Syn()});
    EXPECT_EQ(m_clock.Now() - before, std::chrono::milliseconds(5 + 30 + 5 + 5 + 5 + 5));

    m_playback.PlayMacro(5);
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches a table beyond 256 rows, or rows past the limit still acting.
TEST_F(PlaybackTest, ArmTakesAtMost256Rows)
{
    std::vector<KeyAssignmentRecord> rows;
    for (int i = 0; i < 260; ++i)
        rows.push_back(Assignment(i < 256 ? 0x10 : 0x3A, 2, 0x04));
    EXPECT_EQ(m_playback.ArmSoftwarePlayback(rows), 256);
    EXPECT_FALSE(m_playback.Filter().IsWithheld(0x3A));
    m_playback.OnFilteredKey(0x3A, true);
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches a break anywhere on the road from a grabbed key to the virtual device's output.
TEST_F(PlaybackTest, WithheldKeyBecomesItsAssignmentEndToEnd)
{
    EventPipe keyboard;
    EventPipe clone;
    auto script = std::make_shared<NodeScript>();
    m_playback.ArmSoftwarePlayback({Assignment(0x3A, 2, 0x1D)}); // F1 types Z
    std::vector<std::unique_ptr<IKeyboardNode>> nodes;
    nodes.push_back(std::make_unique<FakeKeyboardNode>(keyboard.ReadFd(), clone.WriteFd(), script));
    ASSERT_TRUE(m_playback.AttachKeyboard(std::move(nodes)));
    ASSERT_TRUE(script->WaitFor([&] { return !script->grabs.empty(); })); // earlier events were the system's

    keyboard.Write({Key(KEY_F1, 1), Syn(), Key(KEY_F1, 0), Syn(), Key(KEY_F2, 1), Syn()});
    EXPECT_EVENTS(m_out.ReadCount(4), {Key(KEY_Z, 1), Syn(), Key(KEY_Z, 0), Syn()});
    EXPECT_EVENTS(clone.ReadCount(2), {Key(KEY_F2, 1), Syn()});

    m_playback.DisarmFilter();
    EXPECT_EVENTS(clone.ReadAvailable(), {Key(KEY_F2, 0), Syn()});
    EXPECT_FALSE(m_playback.Filter().IsWithheld(0x3A));
}

// Catches the keyboard being grabbed without a virtual device, which would swallow every assigned key.
TEST(SoftwarePlaybackWithoutDevice, LeavesTheKeyboardAlone)
{
    VHidev device; // never opened: no output
    class : public IMacroSource {
        bool LoadMacro(int, MacroRecord&) override { return false; }
        std::vector<MacroEventRecord> LoadMacroEvents(int) override { return {}; }
    } macros;
    VirtualPacingClock clock;
    SoftwarePlayback playback(device, macros, clock);
    EventPipe keyboard, clone;
    auto script = std::make_shared<NodeScript>();
    std::vector<std::unique_ptr<IKeyboardNode>> nodes;
    nodes.push_back(std::make_unique<FakeKeyboardNode>(keyboard.ReadFd(), clone.WriteFd(), script));
    EXPECT_FALSE(playback.AttachKeyboard(std::move(nodes)));
    EXPECT_FALSE(playback.Filter().IsRunning());
    EXPECT_TRUE(script->grabs.empty());
}
