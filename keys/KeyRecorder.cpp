// Keypad keys have their own evdev codes and HID usages whatever the Num Lock state, so they
// always record as the numeric-keypad virtual keys (96-105, 110) and keypad Enter as 108.
#include "keys/KeyRecorder.h"

#include "keys/KeyTables.h"

CapturedInputEvent DecodeWindowKey(const WindowKeyEvent& event)
{
    CapturedInputEvent result;
    result.kind = CaptureKind::Keyboard;
    result.released = event.released;
    result.code = NormaliseVirtualKey(EvdevToVirtualKey(HidUsageToEvdev(event.usage)));
    result.name = VirtualKeyName(result.code);
    return result;
}

CapturedInputEvent DecodeWindowMouseButton(WindowMouseButton button, bool released)
{
    static constexpr int kValues[] = {0, 1, 2, 3, 8, 7}; // fourth is value 8, fifth 7
    int index = static_cast<int>(button);
    CapturedInputEvent result;
    result.kind = CaptureKind::Mouse;
    result.released = released;
    result.code = index >= 1 && index <= 5 ? kValues[index] : 0;
    result.name = MouseButtonName(result.code);
    return result;
}

KeyRecorder::KeyRecorder(Listener listener) : m_listener(std::move(listener)) {}

void KeyRecorder::OnRecordedKey(int evdevCode, int value)
{
    if (value == 2)
        return; // the kernel's auto-repeat
    Deliver(EvdevToVirtualKey(evdevCode), value == 0);
}

void KeyRecorder::OnWindowKey(const WindowKeyEvent& event)
{
    if (event.repeat && !event.released)
        return;
    Deliver(EvdevToVirtualKey(HidUsageToEvdev(event.usage)), event.released);
}

void KeyRecorder::Reset()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_held.reset();
}

void KeyRecorder::Deliver(int virtualKey, bool released)
{
    int code = NormaliseVirtualKey(virtualKey);
    if (code <= 0 || code > 255)
        return; // a key without a virtual-key code is swallowed without an event
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!released && m_held.test(static_cast<std::size_t>(code)))
            return; // a press of a key already held is a repeat
        m_held.set(static_cast<std::size_t>(code), !released);
    }
    CapturedInputEvent event;
    event.kind = CaptureKind::Keyboard;
    event.released = released;
    event.code = code;
    event.name = VirtualKeyName(code);
    if (m_listener)
        m_listener(event);
}
