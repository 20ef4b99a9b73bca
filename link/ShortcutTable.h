// The fifteen shortcut functions (key function type 7) as sequences of key events.
#pragma once

#include <cstdint>
#include <span>

struct ShortcutEvent {
    uint8_t usage; // HID keyboard usage
    bool released; // false = press, true = release
};

constexpr int kFirstShortcut = 1;
constexpr int kLastShortcut = 15;

// The press/release events of shortcut `value` (1-15) in playing order; empty for any other value.
std::span<const ShortcutEvent> ShortcutEvents(int value);
