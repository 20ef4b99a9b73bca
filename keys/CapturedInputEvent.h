// One decoded input event of recording or single-key capture, and the window events it comes from.
#pragma once

#include <string>

enum class CaptureKind { Nothing = 0, Mouse = 1, Keyboard = 2, OtherDevice = 3 };

struct CapturedInputEvent {
    CaptureKind kind = CaptureKind::Nothing;
    bool released = false;
    int code = 0;      // keyboard: Windows virtual-key code; mouse: the button value
    std::string name;  // display name; empty when the event has none
};

// A key event of the program's window: the key's USB HID usage (the toolkit's scancodes are
// those), whether it was released, and whether the system marked it as an auto-repeat.
struct WindowKeyEvent {
    int usage = 0;
    bool released = false;
    bool repeat = false;
};

// Mouse buttons of the program's window, numbered as the toolkit numbers them.
enum class WindowMouseButton { Left = 1, Middle = 2, Right = 3, Fourth = 4, Fifth = 5 };

// Single-key capture: a window key event as (keyboard, released, virtual-key code, name).
CapturedInputEvent DecodeWindowKey(const WindowKeyEvent& event);
// A window mouse button as (mouse, released, button value, "mouse_..." name).
CapturedInputEvent DecodeWindowMouseButton(WindowMouseButton button, bool released);
