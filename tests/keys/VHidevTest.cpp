// The virtual device: report format, the evdev events each report kind writes, playback pacing.
#include "keys/IClipboard.h"
#include "keys/VHidev.h"
#include "link/PacingClock.h"

#include "EventPipe.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Records every pause so tests can check the pacing without waiting.
class RecordingClock final : public PacingClock {
public:
    void Sleep(std::chrono::microseconds duration) override
    {
        m_pauses.push_back(static_cast<int>(duration.count() / 1000));
        m_now += duration;
    }
    std::chrono::microseconds Now() const override { return m_now; }
    std::vector<int> m_pauses;
    std::chrono::microseconds m_now{0};
};

class FakeClipboard final : public IClipboard {
public:
    bool SetText(const std::string& utf8) override
    {
        m_log.push_back("set:" + utf8);
        return m_accept;
    }
    void Clear() override { m_log.push_back("clear"); }
    bool m_accept = true;
    std::vector<std::string> m_log;
};

class VHidevTest : public ::testing::Test {
protected:
    void SetUp() override { m_device.UseOutput(m_out.WriteFd()); }
    EventPipe m_out;
    VHidev m_device;
    RecordingClock m_clock;
};

} // namespace

// Catches a wrong 64-byte layout: marker, report ID, data offset, truncation, zero fill.
TEST_F(VHidevTest, SendBuildsTheSixtyFourByteReport)
{
    const uint8_t data[3] = {0xAA, 0xBB, 0xCC};
    m_device.Send(data, sizeof data, 3);
    auto report = m_device.LastReport();
    EXPECT_EQ(report[0], 0x05);
    EXPECT_EQ(report[1], 3);
    EXPECT_EQ(report[2], 0xAA);
    EXPECT_EQ(report[4], 0xCC);
    EXPECT_EQ(report[5], 0);

    m_device.Send(data, sizeof data, 0);
    report = m_device.LastReport();
    EXPECT_EQ(report[1], 0xAA);

    std::vector<uint8_t> longData(100, 0x11);
    m_device.Send(longData.data(), longData.size(), 4);
    report = m_device.LastReport();
    EXPECT_EQ(report[63], 0x11); // 62 bytes fit after the ID, the rest is cut
}

// Catches reports that write unchanged keys again, miss the SYN_REPORT, or use the wrong codes.
TEST_F(VHidevTest, EachReportKindWritesOnlyWhatChanged)
{
    m_device.SetKeyboardUsage(0x04, true);
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_A, 1), Syn()});
    m_device.SetKeyboardUsage(0x04, true);
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
    m_device.SetKeyboardUsage(0x04, false);
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_A, 0), Syn()});

    m_device.SetMouseBit(1, true);
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(BTN_RIGHT, 1), Syn()});
    m_device.SetMouseBit(3, true);
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(BTN_SIDE, 1), Syn()});

    m_device.SetConsumerUsage(0xE9);
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_VOLUMEUP, 1), Syn()});
    m_device.SetConsumerUsage(0xEA); // one consumer key at a time: the old one is let go
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_VOLUMEUP, 0), Key(KEY_VOLUMEDOWN, 1), Syn()});

    const uint8_t fourth[2] = {0, 0};
    m_device.Send(fourth, 2, 4);
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches a ReleaseAll that forgets a report kind and leaves a key or button down.
TEST_F(VHidevTest, ReleaseAllLetsGoOfEverything)
{
    m_device.SetKeyboardUsage(0xE1, true);
    m_device.SetKeyboardUsage(0x1D, true);
    m_device.SetMouseBit(0, true);
    m_device.SetConsumerUsage(0xCD);
    m_out.ReadAvailable();

    m_device.ReleaseAll();
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_Z, 0), Key(KEY_LEFTSHIFT, 0), Syn(), Key(BTN_LEFT, 0), Syn(),
                                          Key(KEY_PLAYPAUSE, 0), Syn()});
    m_device.ReleaseAll();
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches a shortcut played in the wrong order or without its 10 ms pauses.
TEST_F(VHidevTest, ShortcutPlaysItsTableWithPauses)
{
    m_device.PlayShortcut(13, m_clock); // Alt+Space, X
    EXPECT_EVENTS(m_out.ReadAvailable(),
                  {Key(KEY_LEFTALT, 1), Syn(), Key(KEY_SPACE, 1), Syn(), Key(KEY_X, 1), Syn(), Key(KEY_X, 0), Syn(),
                   Key(KEY_SPACE, 0), Syn(), Key(KEY_LEFTALT, 0), Syn()});
    EXPECT_EQ(m_clock.m_pauses, std::vector<int>(6, 10));

    m_clock.m_pauses.clear();
    m_device.PlayShortcut(16, m_clock);
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
    EXPECT_TRUE(m_clock.m_pauses.empty());
}

// Catches pauses below 5 ms, a wrong repeat count, keys left down between rounds, and media
// codes sent as keyboard usages.
TEST_F(VHidevTest, MacroRoundsPausesAndReleases)
{
    std::vector<MacroStep> steps = {{0x04, true, 0}, {235, true, 20}, {235, false, 3}};
    m_device.PlayMacro(steps, 0, m_clock);
    EXPECT_EVENTS(m_out.ReadAvailable(), {});

    m_device.PlayMacro(steps, 2, m_clock);
    std::vector<input_event> round = {Key(KEY_A, 1), Syn(), Key(KEY_MUTE, 1), Syn(), Key(KEY_MUTE, 0), Syn(),
                                      Key(KEY_A, 0), Syn()}; // the last pair is the release between rounds
    std::vector<input_event> twice = round;
    twice.insert(twice.end(), round.begin(), round.end());
    EXPECT_EVENTS(m_out.ReadAvailable(), twice);
    EXPECT_EQ(m_clock.m_pauses, (std::vector<int>{5, 20, 5, 5, 20, 5}));
}

// Catches a paste that leaves Ctrl down, skips the pause, or types when the clipboard refused.
TEST_F(VHidevTest, TypeTextPastesThroughTheClipboard)
{
    FakeClipboard clipboard;
    EXPECT_TRUE(m_device.TypeText("héllo", clipboard, m_clock));
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_LEFTCTRL, 1), Syn(), Key(KEY_V, 1), Syn(), Key(KEY_V, 0), Syn(),
                                          Key(KEY_LEFTCTRL, 0), Syn()});
    EXPECT_EQ(clipboard.m_log, (std::vector<std::string>{"set:héllo", "clear"}));
    EXPECT_EQ(m_clock.m_pauses, std::vector<int>{100});

    clipboard.m_accept = false;
    EXPECT_FALSE(m_device.TypeText("x", clipboard, m_clock));
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches unguarded report buffers: two threads changing different keys must never lose or
// invent each other's bits, so every key's events strictly alternate press, release.
TEST_F(VHidevTest, ConcurrentSendersKeepEachOthersBits)
{
    constexpr int kRounds = 300;
    auto hammer = [this](int usage) {
        for (int i = 0; i < kRounds; ++i) {
            m_device.SetKeyboardUsage(usage, true);
            m_device.SetKeyboardUsage(usage, false);
        }
    };
    std::vector<input_event> events;
    std::thread reader([&] { events = m_out.ReadCount(4 * kRounds * 2); });
    std::thread a(hammer, 0x04), b(hammer, 0x05);
    a.join();
    b.join();
    reader.join();
    int expectA = 1, expectB = 1, countA = 0, countB = 0;
    for (const input_event& e : events) {
        if (e.type != EV_KEY)
            continue;
        int& expect = e.code == KEY_A ? expectA : expectB;
        ASSERT_EQ(e.value, expect) << "key " << e.code;
        expect = 1 - expect;
        ++(e.code == KEY_A ? countA : countB);
    }
    EXPECT_EQ(countA, 2 * kRounds);
    EXPECT_EQ(countB, 2 * kRounds);
}

// Catches the crash path writing nothing, or releasing keys that are not held.
TEST_F(VHidevTest, SignalReleaseWritesReleasesOfHeldKeys)
{
    m_device.SetKeyboardUsage(0x04, true);
    m_device.SetMouseBit(2, true);
    m_out.ReadAvailable();
    m_device.ReleaseAllFromSignal();
    EXPECT_EVENTS(m_out.ReadAvailable(), {Key(KEY_A, 0), Key(BTN_MIDDLE, 0), Syn()});
    m_device.ReleaseAllFromSignal();
    EXPECT_EVENTS(m_out.ReadAvailable(), {});
}

// Catches a missing /dev/uinput ending the program or repeating the message on every key.
TEST(VHidevUnavailable, TellsOnceWhichRulesToInstall)
{
    if (::access("/dev/uinput", W_OK) == 0)
        GTEST_SKIP() << "/dev/uinput is writable here, so the device opens and there is nothing to report";
    VHidev device;
    device.SetDriverFolder("/opt/molvane/driver");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(device.Open());
    EXPECT_FALSE(device.Open());
    device.SetKeyboardUsage(0x04, true); // no device: skipped silently
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("sudo sh /opt/molvane/driver/install.sh"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("install.sh"), printed.rfind("install.sh")) << "printed more than once";
    EXPECT_NE(device.UnavailableMessage().find("install.sh"), std::string::npos);
}
