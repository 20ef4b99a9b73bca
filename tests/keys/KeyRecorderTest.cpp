// The recording source and single-key capture: codes, names, repeats, the keypad.
#include "keys/KeyRecorder.h"
#include "keys/KeyRecordingSession.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace {

struct Recorded {
    bool released;
    int code;
    std::string name;
    bool operator==(const Recorded&) const = default;
};

std::vector<Recorded> Collect(const std::function<void(KeyRecorder&)>& feed)
{
    std::vector<Recorded> out;
    KeyRecorder recorder([&](const CapturedInputEvent& e) {
        EXPECT_EQ(e.kind, CaptureKind::Keyboard);
        out.push_back({e.released, e.code, e.name});
    });
    feed(recorder);
    return out;
}

} // namespace

// Catches auto-repeats recorded as presses: holding a key records one press and one release.
TEST(KeyRecorder, HeldKeyRecordsOnePressAndOneRelease)
{
    auto events = Collect([](KeyRecorder& r) {
        r.OnRecordedKey(KEY_A, 1);
        r.OnRecordedKey(KEY_A, 2);
        r.OnRecordedKey(KEY_A, 1); // the same key again from a second keyboard
        r.OnRecordedKey(KEY_A, 0);
        r.OnRecordedKey(KEY_A, 1);
    });
    EXPECT_EQ(events, (std::vector<Recorded>{{false, 65, "A"}, {true, 65, "A"}, {false, 65, "A"}}));
}

// Catches keypad keys recorded as navigation keys, modifiers as generic codes, or keys
// without a virtual-key code recorded at all.
TEST(KeyRecorder, KeypadModifiersAndUnknownKeys)
{
    auto events = Collect([](KeyRecorder& r) {
        r.OnRecordedKey(KEY_KP7, 1);
        r.OnRecordedKey(KEY_KPENTER, 1);
        r.OnRecordedKey(KEY_KPDOT, 1);
        r.OnRecordedKey(KEY_LEFTSHIFT, 1);
        r.OnRecordedKey(KEY_RIGHTCTRL, 1);
        r.OnRecordedKey(KEY_PROG1, 1);
    });
    EXPECT_EQ(events, (std::vector<Recorded>{{false, 103, "Num 7"}, {false, 108, "Num Enter"},
                                             {false, 110, "Num Del"}, {false, 160, "Shift"},
                                             {false, 163, "RCtrl"}}));
}

// Catches the window fallback recording the system's repeats or using wrong codes.
TEST(KeyRecorder, WindowKeysAreRecordedLikeGrabbedOnes)
{
    auto events = Collect([](KeyRecorder& r) {
        r.OnWindowKey({0xE2, false, false});
        r.OnWindowKey({0xE2, false, true});
        r.OnWindowKey({0x5F, false, false});
        r.OnWindowKey({0xE2, true, false});
    });
    EXPECT_EQ(events, (std::vector<Recorded>{{false, 164, "Alt"}, {false, 103, "Num 7"}, {true, 164, "Alt"}}));
}

// Catches single-key capture giving wrong kinds, codes or names.
TEST(KeyRecorder, DecodeWindowEvents)
{
    CapturedInputEvent key = DecodeWindowKey({0x3A, true, false});
    EXPECT_EQ(key.kind, CaptureKind::Keyboard);
    EXPECT_TRUE(key.released);
    EXPECT_EQ(key.code, 112);
    EXPECT_EQ(key.name, "F1");

    struct Case { WindowMouseButton button; int value; const char* name; } cases[] = {
        {WindowMouseButton::Left, 1, "mouse_left"}, {WindowMouseButton::Middle, 2, "mouse_middle"},
        {WindowMouseButton::Right, 3, "mouse_right"}, {WindowMouseButton::Fourth, 8, "mouse_button4"},
        {WindowMouseButton::Fifth, 7, "mouse_button5"},
    };
    for (const Case& c : cases) {
        CapturedInputEvent mouse = DecodeWindowMouseButton(c.button, false);
        EXPECT_EQ(mouse.kind, CaptureKind::Mouse);
        EXPECT_EQ(mouse.code, c.value);
        EXPECT_EQ(mouse.name, c.name);
    }
}

// Catches a session that claims to record when no keyboard could be opened, which would leave
// recording without keys instead of falling back to the window's key events.
TEST(KeyRecordingSession, ReportsWhenTheWindowMustFeedKeys)
{
    HidUsbFilter playbackFilter;
    KeyRecorder recorder([](const CapturedInputEvent&) {});
    KeyRecordingSession session(playbackFilter, recorder);
    EXPECT_FALSE(session.Start({"/nonexistent/event99"}));
    session.Stop();
}
