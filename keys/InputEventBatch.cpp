// Batches are written whole so a reader never sees half a report between two SYN_REPORTs.
#include "keys/InputEventBatch.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

void InputEventBatch::Add(unsigned short type, unsigned short code, int value)
{
    input_event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.code = code;
    event.value = value;
    m_events.push_back(event);
}

void InputEventBatch::AddRaw(const input_event& event)
{
    m_events.push_back(event);
}

bool InputEventBatch::Flush(int fd)
{
    if (m_events.empty())
        return true;
    Add(EV_SYN, SYN_REPORT, 0);
    return Write(fd);
}

bool InputEventBatch::Write(int fd)
{
    if (m_events.empty())
        return true;
    const char* data = reinterpret_cast<const char*>(m_events.data());
    std::size_t left = m_events.size() * sizeof(input_event);
    bool ok = fd >= 0;
    while (ok && left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    m_events.clear();
    return ok;
}
