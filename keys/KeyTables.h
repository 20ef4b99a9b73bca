// Fixed translation tables between the key codes this program stores (Windows virtual-key
// codes, HID usages) and the Linux input codes the key filter and the virtual device speak.
#pragma once

#include <string>

// Windows virtual-key code -> evdev KEY_*; 0 when the key has no Linux counterpart.
// The generic modifier codes 16, 17 and 18 give the left-side keys.
int VirtualKeyToEvdev(int virtualKey);
// evdev KEY_* -> the virtual-key code recording stores; 0 when none. Keypad keys give the
// numeric-keypad codes whatever the Num Lock state, and keypad Enter gives 108.
int EvdevToVirtualKey(int evdevCode);

// HID keyboard usage (page 7) -> evdev KEY_*; 0 when none (also for the model's Fn key 0xAF).
int HidUsageToEvdev(int usage);
// evdev KEY_* -> HID keyboard usage; 0 when none.
int EvdevToHidUsage(int evdevCode);

// HID consumer usage (page 0x0C) -> evdev KEY_*; 0 when none.
int ConsumerUsageToEvdev(int usage);
// evdev KEY_* -> HID consumer usage; 0 when none.
int EvdevToConsumerUsage(int evdevCode);

// Mouse button value of a key assignment or a recorded event (1 left, 2 middle, 3 right,
// 7 fifth, 8 fourth) -> BTN_*; 0 for any other value.
int MouseButtonToEvdev(int value);
// BTN_* -> mouse button value; 0 when none.
int EvdevToMouseButton(int evdevCode);
// Bit of the virtual device's mouse report (0 left, 1 right, 2 middle, 3 fourth, 4 fifth) -> BTN_*.
int MouseReportBitToEvdev(int bit);
// Mouse button value -> bit of the mouse report; -1 for values without a bit (4, 5, 6, ...).
int MouseButtonToReportBit(int value);

// The generic modifier codes 16, 17, 18 become the left-side codes 160, 162, 164; others stay.
int NormaliseVirtualKey(int virtualKey);
// Display name of a virtual-key code as the macro list shows it (US key names); empty when unknown.
std::string VirtualKeyName(int virtualKey);
// Display name of a mouse button value ("mouse_left", ...); empty when unknown.
std::string MouseButtonName(int value);
