// Test helpers: a pipe standing in for a uinput or evdev descriptor, and event builders.
#pragma once

#include <linux/input.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

inline input_event Ev(unsigned short type, unsigned short code, int value, long sec = 0, long usec = 0)
{
    input_event event;
    std::memset(&event, 0, sizeof event);
    event.input_event_sec = sec;
    event.input_event_usec = usec;
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}

inline input_event Key(unsigned short code, int value) { return Ev(EV_KEY, code, value); }
inline input_event Syn() { return Ev(EV_SYN, SYN_REPORT, 0); }

// Byte-exact comparison of event sequences, with a readable message on mismatch.
inline std::string Describe(const std::vector<input_event>& events)
{
    std::string text;
    for (const input_event& e : events)
        text += "[" + std::to_string(e.type) + " " + std::to_string(e.code) + " " + std::to_string(e.value) +
            " t=" + std::to_string(e.input_event_sec) + "." + std::to_string(e.input_event_usec) + "] ";
    return text;
}

inline bool SameBytes(const std::vector<input_event>& a, const std::vector<input_event>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(input_event)) == 0);
}

class EventPipe {
public:
    EventPipe()
    {
        if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0)
            m_fds[0] = m_fds[1] = -1;
        else
            ::fcntl(m_fds[1], F_SETFL, 0); // writers block like a uinput write would, never drop

    }
    ~EventPipe()
    {
        CloseWriter();
        if (m_fds[0] >= 0)
            ::close(m_fds[0]);
    }
    int ReadFd() const { return m_fds[0]; }
    int WriteFd() const { return m_fds[1]; }
    void CloseWriter()
    {
        if (m_fds[1] >= 0)
            ::close(m_fds[1]);
        m_fds[1] = -1;
    }

    void Write(const std::vector<input_event>& events)
    {
        ssize_t ignored = ::write(m_fds[1], events.data(), events.size() * sizeof(input_event));
        (void)ignored;
    }

    // Everything readable right now.
    std::vector<input_event> ReadAvailable()
    {
        std::vector<input_event> events;
        input_event buffer[64];
        ssize_t got;
        while ((got = ::read(m_fds[0], buffer, sizeof buffer)) > 0)
            events.insert(events.end(), buffer, buffer + got / static_cast<ssize_t>(sizeof(input_event)));
        return events;
    }

    // Waits (up to two seconds) until `count` events have arrived; returns what came.
    std::vector<input_event> ReadCount(std::size_t count)
    {
        std::vector<input_event> events;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (events.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd fd{m_fds[0], POLLIN, 0};
            ::poll(&fd, 1, 20);
            auto more = ReadAvailable();
            events.insert(events.end(), more.begin(), more.end());
        }
        return events;
    }

private:
    int m_fds[2];
};

#define EXPECT_EVENTS(actual, ...)                                                                  \
    do {                                                                                            \
        std::vector<input_event> expected__ = __VA_ARGS__;                                          \
        std::vector<input_event> actual__ = (actual);                                               \
        EXPECT_TRUE(SameBytes(actual__, expected__))                                                \
            << "actual:   " << Describe(actual__) << "\nexpected: " << Describe(expected__);        \
    } while (0)
