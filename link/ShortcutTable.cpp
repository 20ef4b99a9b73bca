// Shortcut function table: each entry presses its keys in order and releases them in reverse.
#include "link/ShortcutTable.h"

#include <array>

namespace {

constexpr uint8_t kCtrl = 0xE0;
constexpr uint8_t kAlt = 0xE2;
constexpr uint8_t kGui = 0xE3;

struct Shortcut {
    std::array<ShortcutEvent, 6> events;
    int count;
};

constexpr Shortcut Chord(uint8_t modifier, uint8_t key) {
    return {{{{modifier, false}, {key, false}, {key, true}, {modifier, true}}}, 4};
}

constexpr Shortcut Chord3(uint8_t modifier, uint8_t key1, uint8_t key2) {
    return {{{{modifier, false}, {key1, false}, {key2, false}, {key2, true}, {key1, true}, {modifier, true}}},
            6};
}

constexpr Shortcut kShortcuts[] = {
    Chord(kCtrl, 0x04),       // 1 Ctrl+A
    Chord(kCtrl, 0x06),       // 2 Ctrl+C
    Chord(kCtrl, 0x1B),       // 3 Ctrl+X
    Chord(kCtrl, 0x19),       // 4 Ctrl+V
    Chord(kCtrl, 0x1D),       // 5 Ctrl+Z
    Chord(kCtrl, 0x16),       // 6 Ctrl+S
    Chord(kGui, 0x08),        // 7 GUI+E
    Chord(kGui, 0x0F),        // 8 GUI+L
    Chord(kGui, 0x07),        // 9 GUI+D
    Chord(kAlt, 0x2B),        // 10 Alt+Tab
    Chord(kGui, 0x10),        // 11 GUI+M
    Chord(kCtrl, 0x1A),       // 12 Ctrl+W
    Chord3(kAlt, 0x2C, 0x1B), // 13 Alt+Space, X
    Chord3(kAlt, 0x2C, 0x11), // 14 Alt+Space, N
    Chord(kAlt, 0x3D),        // 15 Alt+F4
};

} // namespace

std::span<const ShortcutEvent> ShortcutEvents(int value) {
    if (value < kFirstShortcut || value > kLastShortcut) return {};
    const Shortcut& s = kShortcuts[value - kFirstShortcut];
    return {s.events.data(), static_cast<size_t>(s.count)};
}
