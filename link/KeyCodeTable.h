// Windows virtual-key codes (the codes stored in macros) to HID keyboard usages.
#pragma once

#include <cstdint>

// The usage code the keyboard and the virtual HID device expect for virtual-key code vk:
// a keyboard-page usage, a media code 232-249 (see MediaCodes.h), or 0 when vk has no entry.
uint8_t VirtualKeyToUsage(int vk);
