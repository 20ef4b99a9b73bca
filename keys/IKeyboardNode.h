// One keyboard input node as the key filter sees it: events to read, a clone to write the
// passed-through events to, the kernel's view of held keys, and the exclusive grab.
#pragma once

#include <bitset>
#include <string>

// Key state indexed by evdev code (KEY_MAX + 1 codes).
using KeyBits = std::bitset<0x300>;

class IKeyboardNode {
public:
    virtual ~IKeyboardNode() = default;
    // Non-blocking descriptor delivering struct input_event.
    virtual int EventFd() const = 0;
    // Descriptor of the node's uinput clone, where events that are not withheld go.
    virtual int OutputFd() const = 0;
    // The keys the device reports held right now (EVIOCGKEY); false when it cannot say.
    virtual bool QueryHeldKeys(KeyBits& held) = 0;
    // Takes (true) or gives back (false) the exclusive grab (EVIOCGRAB).
    virtual bool SetGrab(bool grab) = 0;
    virtual std::string Name() const = 0;
};
