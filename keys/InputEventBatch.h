// A batch of evdev events written to a uinput descriptor in one write, ended by SYN_REPORT.
#pragma once

#include <linux/input.h>

#include <vector>

class InputEventBatch {
public:
    void Add(unsigned short type, unsigned short code, int value);
    // Keeps the event's own bytes (time included), for events passed through unchanged.
    void AddRaw(const input_event& event);
    bool Empty() const { return m_events.empty(); }
    void Clear() { m_events.clear(); }
    const std::vector<input_event>& Events() const { return m_events; }
    // Appends SYN_REPORT and writes everything to `fd` (retrying short writes and EINTR); the
    // batch is empty afterwards. An empty batch writes nothing. False when the write failed.
    bool Flush(int fd);
    // Writes the events as they stand (the caller added its own SYN_REPORT); the batch is empty afterwards.
    bool Write(int fd);

private:
    std::vector<input_event> m_events;
};
