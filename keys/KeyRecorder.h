// The recording source: every key press and release as a virtual-key code with its name,
// auto-repeats dropped. Keys come from the grabbed keyboards (so no other program sees them)
// or, where the input nodes cannot be opened, from the window's own key events.
#pragma once

#include "keys/CapturedInputEvent.h"
#include "keys/HidUsbFilter.h"

#include <bitset>
#include <functional>
#include <mutex>

class KeyRecorder final : public HidUsbFilter::IRecordingSink {
public:
    using Listener = std::function<void(const CapturedInputEvent&)>;

    // `listener` is called on the thread that delivered the key (the filter's event thread for
    // grabbed keyboards); it posts to the UI thread itself.
    explicit KeyRecorder(Listener listener);

    // From the key filter: evdev code, value 0 released, 1 pressed, 2 auto-repeat.
    void OnRecordedKey(int evdevCode, int value) override;
    // From the window while the input nodes are not available.
    void OnWindowKey(const WindowKeyEvent& event);
    // Forgets the held keys (a new recording).
    void Reset();

private:
    void Deliver(int virtualKey, bool released);

    Listener m_listener;
    std::mutex m_lock;
    std::bitset<256> m_held;
};
