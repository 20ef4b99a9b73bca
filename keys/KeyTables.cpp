// The tables are facts from the HID usage tables (keyboard page 7, consumer page 0x0C), the
// kernel's input-event-codes.h and the Windows virtual-key list, written as pairs.
#include "keys/KeyTables.h"

#include <linux/input-event-codes.h>

#include <array>
#include <cstddef>

namespace {

struct CodePair {
    int from;
    int to;
};

// HID keyboard usage -> evdev. Usage 0x32 (non-US #) shares KEY_BACKSLASH with 0x31, as the
// kernel maps it; the reverse direction gives 0x31.
constexpr CodePair kHidToEvdev[] = {
    {0x04, KEY_A}, {0x05, KEY_B}, {0x06, KEY_C}, {0x07, KEY_D}, {0x08, KEY_E}, {0x09, KEY_F},
    {0x0A, KEY_G}, {0x0B, KEY_H}, {0x0C, KEY_I}, {0x0D, KEY_J}, {0x0E, KEY_K}, {0x0F, KEY_L},
    {0x10, KEY_M}, {0x11, KEY_N}, {0x12, KEY_O}, {0x13, KEY_P}, {0x14, KEY_Q}, {0x15, KEY_R},
    {0x16, KEY_S}, {0x17, KEY_T}, {0x18, KEY_U}, {0x19, KEY_V}, {0x1A, KEY_W}, {0x1B, KEY_X},
    {0x1C, KEY_Y}, {0x1D, KEY_Z}, {0x1E, KEY_1}, {0x1F, KEY_2}, {0x20, KEY_3}, {0x21, KEY_4},
    {0x22, KEY_5}, {0x23, KEY_6}, {0x24, KEY_7}, {0x25, KEY_8}, {0x26, KEY_9}, {0x27, KEY_0},
    {0x28, KEY_ENTER}, {0x29, KEY_ESC}, {0x2A, KEY_BACKSPACE}, {0x2B, KEY_TAB},
    {0x2C, KEY_SPACE}, {0x2D, KEY_MINUS}, {0x2E, KEY_EQUAL}, {0x2F, KEY_LEFTBRACE},
    {0x30, KEY_RIGHTBRACE}, {0x31, KEY_BACKSLASH}, {0x32, KEY_BACKSLASH},
    {0x33, KEY_SEMICOLON}, {0x34, KEY_APOSTROPHE}, {0x35, KEY_GRAVE}, {0x36, KEY_COMMA},
    {0x37, KEY_DOT}, {0x38, KEY_SLASH}, {0x39, KEY_CAPSLOCK}, {0x3A, KEY_F1}, {0x3B, KEY_F2},
    {0x3C, KEY_F3}, {0x3D, KEY_F4}, {0x3E, KEY_F5}, {0x3F, KEY_F6}, {0x40, KEY_F7},
    {0x41, KEY_F8}, {0x42, KEY_F9}, {0x43, KEY_F10}, {0x44, KEY_F11}, {0x45, KEY_F12},
    {0x46, KEY_SYSRQ}, {0x47, KEY_SCROLLLOCK}, {0x48, KEY_PAUSE}, {0x49, KEY_INSERT},
    {0x4A, KEY_HOME}, {0x4B, KEY_PAGEUP}, {0x4C, KEY_DELETE}, {0x4D, KEY_END},
    {0x4E, KEY_PAGEDOWN}, {0x4F, KEY_RIGHT}, {0x50, KEY_LEFT}, {0x51, KEY_DOWN}, {0x52, KEY_UP},
    {0x53, KEY_NUMLOCK}, {0x54, KEY_KPSLASH}, {0x55, KEY_KPASTERISK}, {0x56, KEY_KPMINUS},
    {0x57, KEY_KPPLUS}, {0x58, KEY_KPENTER}, {0x59, KEY_KP1}, {0x5A, KEY_KP2}, {0x5B, KEY_KP3},
    {0x5C, KEY_KP4}, {0x5D, KEY_KP5}, {0x5E, KEY_KP6}, {0x5F, KEY_KP7}, {0x60, KEY_KP8},
    {0x61, KEY_KP9}, {0x62, KEY_KP0}, {0x63, KEY_KPDOT}, {0x64, KEY_102ND}, {0x65, KEY_COMPOSE},
    {0x66, KEY_POWER}, {0x67, KEY_KPEQUAL}, {0x68, KEY_F13}, {0x69, KEY_F14}, {0x6A, KEY_F15},
    {0x6B, KEY_F16}, {0x6C, KEY_F17}, {0x6D, KEY_F18}, {0x6E, KEY_F19}, {0x6F, KEY_F20},
    {0x70, KEY_F21}, {0x71, KEY_F22}, {0x72, KEY_F23}, {0x73, KEY_F24}, {0x74, KEY_OPEN},
    {0x75, KEY_HELP}, {0x76, KEY_PROPS}, {0x77, KEY_FRONT}, {0x78, KEY_STOP}, {0x79, KEY_AGAIN},
    {0x7A, KEY_UNDO}, {0x7B, KEY_CUT}, {0x7C, KEY_COPY}, {0x7D, KEY_PASTE}, {0x7E, KEY_FIND},
    {0x7F, KEY_MUTE}, {0x80, KEY_VOLUMEUP}, {0x81, KEY_VOLUMEDOWN}, {0x85, KEY_KPCOMMA},
    {0x87, KEY_RO}, {0x88, KEY_KATAKANAHIRAGANA}, {0x89, KEY_YEN}, {0x8A, KEY_HENKAN},
    {0x8B, KEY_MUHENKAN}, {0x8C, KEY_KPJPCOMMA}, {0x90, KEY_HANGEUL}, {0x91, KEY_HANJA},
    {0x92, KEY_KATAKANA}, {0x93, KEY_HIRAGANA}, {0x94, KEY_ZENKAKUHANKAKU},
    {0xB6, KEY_KPLEFTPAREN}, {0xB7, KEY_KPRIGHTPAREN}, {0xE0, KEY_LEFTCTRL},
    {0xE1, KEY_LEFTSHIFT}, {0xE2, KEY_LEFTALT}, {0xE3, KEY_LEFTMETA}, {0xE4, KEY_RIGHTCTRL},
    {0xE5, KEY_RIGHTSHIFT}, {0xE6, KEY_RIGHTALT}, {0xE7, KEY_RIGHTMETA},
};

// HID consumer usage -> evdev: the eighteen media codes' usages first, then the other
// consumer keys a keyboard commonly sends.
constexpr CodePair kConsumerToEvdev[] = {
    {0x183, KEY_CONFIG}, {0xEA, KEY_VOLUMEDOWN}, {0xE9, KEY_VOLUMEUP}, {0xE2, KEY_MUTE},
    {0xB7, KEY_STOPCD}, {0xB6, KEY_PREVIOUSSONG}, {0xCD, KEY_PLAYPAUSE}, {0xB5, KEY_NEXTSONG},
    {0x18A, KEY_MAIL}, {0x223, KEY_HOMEPAGE}, {0x192, KEY_CALC}, {0x224, KEY_BACK},
    {0x225, KEY_FORWARD}, {0x226, KEY_STOP}, {0x227, KEY_REFRESH}, {0x221, KEY_SEARCH},
    {0x22A, KEY_BOOKMARKS}, {0x194, KEY_FILE},
    {0x6F, KEY_BRIGHTNESSUP}, {0x70, KEY_BRIGHTNESSDOWN}, {0xB0, KEY_PLAYCD},
    {0xB1, KEY_PAUSECD}, {0xB3, KEY_FASTFORWARD}, {0xB4, KEY_REWIND}, {0xB8, KEY_EJECTCD},
    {0x196, KEY_WWW}, {0x19E, KEY_COFFEE},
};

// Windows virtual-key code -> evdev. 136-139 stand for the international keys of usages
// 0x88-0x8B (the program's key code table passes them through unchanged); 181 and 182 are the
// media-select and "My Computer" launch keys; 108 is the keypad's Enter.
constexpr CodePair kVirtualToEvdev[] = {
    {8, KEY_BACKSPACE}, {9, KEY_TAB}, {13, KEY_ENTER}, {19, KEY_PAUSE}, {20, KEY_CAPSLOCK},
    {21, KEY_HANGEUL}, {25, KEY_HANJA}, {27, KEY_ESC}, {32, KEY_SPACE}, {33, KEY_PAGEUP},
    {34, KEY_PAGEDOWN}, {35, KEY_END}, {36, KEY_HOME}, {37, KEY_LEFT}, {38, KEY_UP},
    {39, KEY_RIGHT}, {40, KEY_DOWN}, {41, KEY_SELECT}, {42, KEY_PRINT}, {44, KEY_SYSRQ},
    {45, KEY_INSERT}, {46, KEY_DELETE}, {47, KEY_HELP}, {48, KEY_0}, {49, KEY_1}, {50, KEY_2},
    {51, KEY_3}, {52, KEY_4}, {53, KEY_5}, {54, KEY_6}, {55, KEY_7}, {56, KEY_8}, {57, KEY_9},
    {65, KEY_A}, {66, KEY_B}, {67, KEY_C}, {68, KEY_D}, {69, KEY_E}, {70, KEY_F}, {71, KEY_G},
    {72, KEY_H}, {73, KEY_I}, {74, KEY_J}, {75, KEY_K}, {76, KEY_L}, {77, KEY_M}, {78, KEY_N},
    {79, KEY_O}, {80, KEY_P}, {81, KEY_Q}, {82, KEY_R}, {83, KEY_S}, {84, KEY_T}, {85, KEY_U},
    {86, KEY_V}, {87, KEY_W}, {88, KEY_X}, {89, KEY_Y}, {90, KEY_Z}, {91, KEY_LEFTMETA},
    {92, KEY_RIGHTMETA}, {93, KEY_COMPOSE}, {95, KEY_SLEEP}, {96, KEY_KP0}, {97, KEY_KP1},
    {98, KEY_KP2}, {99, KEY_KP3}, {100, KEY_KP4}, {101, KEY_KP5}, {102, KEY_KP6},
    {103, KEY_KP7}, {104, KEY_KP8}, {105, KEY_KP9}, {106, KEY_KPASTERISK}, {107, KEY_KPPLUS},
    {108, KEY_KPENTER}, {109, KEY_KPMINUS}, {110, KEY_KPDOT}, {111, KEY_KPSLASH},
    {112, KEY_F1}, {113, KEY_F2}, {114, KEY_F3}, {115, KEY_F4}, {116, KEY_F5}, {117, KEY_F6},
    {118, KEY_F7}, {119, KEY_F8}, {120, KEY_F9}, {121, KEY_F10}, {122, KEY_F11},
    {123, KEY_F12}, {124, KEY_F13}, {125, KEY_F14}, {126, KEY_F15}, {127, KEY_F16},
    {128, KEY_F17}, {129, KEY_F18}, {130, KEY_F19}, {131, KEY_F20}, {132, KEY_F21},
    {133, KEY_F22}, {134, KEY_F23}, {135, KEY_F24}, {136, KEY_KATAKANAHIRAGANA},
    {137, KEY_YEN}, {138, KEY_HENKAN}, {139, KEY_MUHENKAN}, {144, KEY_NUMLOCK},
    {145, KEY_SCROLLLOCK}, {160, KEY_LEFTSHIFT}, {161, KEY_RIGHTSHIFT}, {162, KEY_LEFTCTRL},
    {163, KEY_RIGHTCTRL}, {164, KEY_LEFTALT}, {165, KEY_RIGHTALT}, {166, KEY_BACK},
    {167, KEY_FORWARD}, {168, KEY_REFRESH}, {169, KEY_STOP}, {170, KEY_SEARCH},
    {171, KEY_BOOKMARKS}, {172, KEY_HOMEPAGE}, {173, KEY_MUTE}, {174, KEY_VOLUMEDOWN},
    {175, KEY_VOLUMEUP}, {176, KEY_NEXTSONG}, {177, KEY_PREVIOUSSONG}, {178, KEY_STOPCD},
    {179, KEY_PLAYPAUSE}, {180, KEY_MAIL}, {181, KEY_CONFIG}, {182, KEY_FILE}, {183, KEY_CALC},
    {186, KEY_SEMICOLON}, {187, KEY_EQUAL}, {188, KEY_COMMA}, {189, KEY_MINUS}, {190, KEY_DOT},
    {191, KEY_SLASH}, {192, KEY_GRAVE}, {219, KEY_LEFTBRACE}, {220, KEY_BACKSLASH},
    {221, KEY_RIGHTBRACE}, {222, KEY_APOSTROPHE}, {226, KEY_102ND},
};

constexpr CodePair kMouseToEvdev[] = {
    {1, BTN_LEFT}, {2, BTN_MIDDLE}, {3, BTN_RIGHT}, {7, BTN_EXTRA}, {8, BTN_SIDE},
};

// Report bit order of the virtual device's mouse report.
constexpr int kMouseReportBits[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA};

struct NamePair {
    int code;
    const char* name;
};

// Names the recording list always uses for these codes, whatever the keyboard layout says.
constexpr NamePair kFixedNames[] = {
    {160, "Shift"}, {162, "Ctrl"}, {164, "Alt"}, {19, "Pause"}, {44, "Print Screen"},
    {91, "Windows"}, {92, "RWindows"}, {93, "Application"}, {144, "Num Lock"},
    {161, "RShift"}, {163, "RCtrl"}, {165, "RAlt"}, {166, "Web-Backward"},
    {167, "Web-Forward"}, {168, "Web-Refresh"}, {169, "Web-Stop"}, {170, "Web-Search"},
    {171, "Web-Favorites"}, {172, "Web-Home"}, {173, "Vol Mute"}, {174, "Vol Down"},
    {175, "Vol Up"}, {176, "Next Track"}, {177, "Prev Track"}, {178, "Stop"},
    {179, "Play/Pause"}, {180, "EMail"}, {181, "Multimedia"}, {182, "My Computer"},
    {183, "Calculator"},
};

// The names a US keyboard layout gives the remaining keys.
constexpr NamePair kLayoutNames[] = {
    {8, "Backspace"}, {9, "Tab"}, {12, "Num 5"}, {13, "Enter"}, {20, "Caps Lock"},
    {27, "Esc"}, {32, "Space"}, {33, "Page Up"}, {34, "Page Down"}, {35, "End"},
    {36, "Home"}, {37, "Left"}, {38, "Up"}, {39, "Right"}, {40, "Down"}, {45, "Insert"},
    {46, "Delete"}, {95, "Sleep"}, {96, "Num 0"}, {97, "Num 1"}, {98, "Num 2"},
    {99, "Num 3"}, {100, "Num 4"}, {101, "Num 5"}, {102, "Num 6"}, {103, "Num 7"},
    {104, "Num 8"}, {105, "Num 9"}, {106, "Num *"}, {107, "Num +"}, {108, "Num Enter"},
    {109, "Num -"}, {110, "Num Del"}, {111, "Num /"}, {145, "Scroll Lock"}, {186, ";"},
    {187, "="}, {188, ","}, {189, "-"}, {190, "."}, {191, "/"}, {192, "`"}, {219, "["},
    {220, "\\"}, {221, "]"}, {222, "'"}, {226, "\\"},
};

constexpr NamePair kMouseNames[] = {
    {1, "mouse_left"}, {2, "mouse_middle"}, {3, "mouse_right"}, {7, "mouse_button5"},
    {8, "mouse_button4"},
};

// Direct-index table of one direction, built once; the first pair for a code wins.
template <std::size_t Size, std::size_t N>
std::array<int, Size> BuildIndex(const CodePair (&pairs)[N], bool reverse)
{
    std::array<int, Size> table{};
    for (const CodePair& p : pairs) {
        int key = reverse ? p.to : p.from;
        int value = reverse ? p.from : p.to;
        if (key >= 0 && static_cast<std::size_t>(key) < Size && table[key] == 0)
            table[key] = value;
    }
    return table;
}

template <std::size_t Size>
int Lookup(const std::array<int, Size>& table, int code)
{
    return code >= 0 && static_cast<std::size_t>(code) < Size ? table[code] : 0;
}

template <std::size_t N>
const char* FindName(const NamePair (&names)[N], int code)
{
    for (const NamePair& n : names)
        if (n.code == code)
            return n.name;
    return nullptr;
}

} // namespace

int VirtualKeyToEvdev(int virtualKey)
{
    static const auto table = BuildIndex<256>(kVirtualToEvdev, false);
    return Lookup(table, NormaliseVirtualKey(virtualKey));
}

int EvdevToVirtualKey(int evdevCode)
{
    static const auto table = BuildIndex<KEY_CNT>(kVirtualToEvdev, true);
    return Lookup(table, evdevCode);
}

int HidUsageToEvdev(int usage)
{
    static const auto table = BuildIndex<256>(kHidToEvdev, false);
    return Lookup(table, usage);
}

int EvdevToHidUsage(int evdevCode)
{
    static const auto table = BuildIndex<KEY_CNT>(kHidToEvdev, true);
    return Lookup(table, evdevCode);
}

int ConsumerUsageToEvdev(int usage)
{
    static const auto table = BuildIndex<0x400>(kConsumerToEvdev, false);
    return Lookup(table, usage);
}

int EvdevToConsumerUsage(int evdevCode)
{
    static const auto table = BuildIndex<KEY_CNT>(kConsumerToEvdev, true);
    return Lookup(table, evdevCode);
}

int MouseButtonToEvdev(int value)
{
    for (const CodePair& p : kMouseToEvdev)
        if (p.from == value)
            return p.to;
    return 0;
}

int EvdevToMouseButton(int evdevCode)
{
    for (const CodePair& p : kMouseToEvdev)
        if (p.to == evdevCode)
            return p.from;
    return 0;
}

int MouseReportBitToEvdev(int bit)
{
    return bit >= 0 && bit < 5 ? kMouseReportBits[bit] : 0;
}

int MouseButtonToReportBit(int value)
{
    int code = MouseButtonToEvdev(value);
    for (int bit = 0; bit < 5; ++bit)
        if (code != 0 && kMouseReportBits[bit] == code)
            return bit;
    return -1;
}

int NormaliseVirtualKey(int virtualKey)
{
    switch (virtualKey) {
    case 16: return 160;
    case 17: return 162;
    case 18: return 164;
    default: return virtualKey;
    }
}

std::string VirtualKeyName(int virtualKey)
{
    int code = NormaliseVirtualKey(virtualKey);
    if (const char* fixed = FindName(kFixedNames, code))
        return fixed;
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'))
        return std::string(1, static_cast<char>(code));
    if (code >= 112 && code <= 135)
        return "F" + std::to_string(code - 111);
    if (const char* name = FindName(kLayoutNames, code))
        return name;
    return {};
}

std::string MouseButtonName(int value)
{
    const char* name = FindName(kMouseNames, value);
    return name ? name : std::string();
}
