// Key tables: both directions agree, and recorded keys replay as the keys they were.
#include "keys/KeyTables.h"
#include "link/KeyCodeTable.h"
#include "link/MediaCodes.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

// Catches a pair that is wrong in one direction only (a typo in either table).
TEST(KeyTables, InverseDirectionsAgree)
{
    for (int usage = 1; usage < 256; ++usage) {
        int code = HidUsageToEvdev(usage);
        if (code != 0 && usage != 0x32) { // non-US # shares KEY_BACKSLASH with usage 0x31
            EXPECT_EQ(EvdevToHidUsage(code), usage) << "usage " << usage;
        }
    }
    for (int usage = 1; usage < 0x400; ++usage) {
        if (int code = ConsumerUsageToEvdev(usage)) {
            EXPECT_EQ(EvdevToConsumerUsage(code), usage) << "consumer usage " << usage;
        }
    }
    for (int vk = 1; vk < 256; ++vk) {
        int code = VirtualKeyToEvdev(vk);
        if (code != 0 && vk != 16 && vk != 17 && vk != 18) {
            EXPECT_EQ(EvdevToVirtualKey(code), vk) << "virtual key " << vk;
        }
    }
    for (int value : {1, 2, 3, 7, 8})
        EXPECT_EQ(EvdevToMouseButton(MouseButtonToEvdev(value)), value);
}

// Catches a key that records as a virtual-key code which the playback table turns into a
// different key: a macro recorded from the keyboard must replay the same keys.
TEST(KeyTables, RecordedVirtualKeyReplaysSameKey)
{
    int checked = 0;
    for (int code = 1; code < KEY_CNT; ++code) {
        int vk = EvdevToVirtualKey(code);
        if (vk == 0)
            continue;
        int usage = VirtualKeyToUsage(vk);
        if (IsMediaCode(usage)) {
            EXPECT_EQ(ConsumerUsageToEvdev(MediaCodeToConsumerUsage(usage)), code) << "evdev " << code;
        } else if (usage != 0) {
            EXPECT_EQ(HidUsageToEvdev(usage), code) << "evdev " << code << " vk " << vk;
        }
        checked += usage != 0;
    }
    EXPECT_GT(checked, 100);
}

// Catches wrong facts in the tables, where both directions could agree on a wrong pair.
TEST(KeyTables, KnownPairs)
{
    struct Case { int usage; int evdev; } hid[] = {
        {0x04, KEY_A}, {0x1E, KEY_1}, {0x27, KEY_0}, {0x28, KEY_ENTER}, {0x39, KEY_CAPSLOCK},
        {0x45, KEY_F12}, {0x46, KEY_SYSRQ}, {0x52, KEY_UP}, {0x58, KEY_KPENTER}, {0x5F, KEY_KP7},
        {0x64, KEY_102ND}, {0x65, KEY_COMPOSE}, {0xE0, KEY_LEFTCTRL}, {0xE3, KEY_LEFTMETA},
        {0xE6, KEY_RIGHTALT}, {0xAF, 0}, {0x00, 0},
    };
    for (const Case& c : hid)
        EXPECT_EQ(HidUsageToEvdev(c.usage), c.evdev) << "usage " << c.usage;
    Case consumer[] = {{0xCD, KEY_PLAYPAUSE}, {0xE2, KEY_MUTE}, {0x183, KEY_CONFIG}, {0x194, KEY_FILE},
                       {0x22A, KEY_BOOKMARKS}, {0x224, KEY_BACK}};
    for (const Case& c : consumer)
        EXPECT_EQ(ConsumerUsageToEvdev(c.usage), c.evdev) << "consumer " << c.usage;
    Case virtualKeys[] = {{17, KEY_LEFTCTRL}, {163, KEY_RIGHTCTRL}, {108, KEY_KPENTER}, {110, KEY_KPDOT},
                          {186, KEY_SEMICOLON}, {226, KEY_102ND}, {92, KEY_RIGHTMETA}, {183, KEY_CALC}};
    for (const Case& c : virtualKeys)
        EXPECT_EQ(VirtualKeyToEvdev(c.usage), c.evdev) << "vk " << c.usage;
}

// Catches mouse buttons landing on the wrong report bit (values 7 and 8 are easily swapped).
TEST(KeyTables, MouseButtonsAndReportBits)
{
    struct Case { int value; int bit; int evdev; } cases[] = {
        {1, 0, BTN_LEFT}, {2, 2, BTN_MIDDLE}, {3, 1, BTN_RIGHT}, {7, 4, BTN_EXTRA}, {8, 3, BTN_SIDE},
        {4, -1, 0}, {5, -1, 0}, {6, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MouseButtonToReportBit(c.value), c.bit) << "value " << c.value;
        EXPECT_EQ(MouseButtonToEvdev(c.value), c.evdev) << "value " << c.value;
        if (c.bit >= 0) {
            EXPECT_EQ(MouseReportBitToEvdev(c.bit), c.evdev);
        }
    }
}

// Catches names differing from the list the macro editor shows and stores.
TEST(KeyTables, VirtualKeyNames)
{
    struct Case { int vk; const char* name; } cases[] = {
        {16, "Shift"}, {160, "Shift"}, {17, "Ctrl"}, {18, "Alt"}, {161, "RShift"}, {165, "RAlt"},
        {91, "Windows"}, {92, "RWindows"}, {93, "Application"}, {19, "Pause"}, {44, "Print Screen"},
        {144, "Num Lock"}, {166, "Web-Backward"}, {171, "Web-Favorites"}, {179, "Play/Pause"},
        {180, "EMail"}, {181, "Multimedia"}, {182, "My Computer"}, {183, "Calculator"},
        {65, "A"}, {57, "9"}, {112, "F1"}, {135, "F24"}, {103, "Num 7"}, {13, "Enter"}, {1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyName(c.vk), c.name) << "vk " << c.vk;
    EXPECT_EQ(NormaliseVirtualKey(17), 162);
    EXPECT_EQ(MouseButtonName(8), "mouse_button4");
    EXPECT_EQ(MouseButtonName(7), "mouse_button5");
}
