// Real-time pacing clock.
#include "link/PacingClock.h"

#include <cerrno>
#include <ctime>

void SteadyPacingClock::Sleep(std::chrono::microseconds duration) {
    if (duration.count() <= 0) return;
    timespec request{};
    request.tv_sec = static_cast<time_t>(duration.count() / 1000000);
    request.tv_nsec = static_cast<long>(duration.count() % 1000000) * 1000;
    timespec remaining{};
    // A signal cuts the sleep short; the pause is part of the protocol, so finish it.
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &request, &remaining) == EINTR)
        request = remaining;
}

std::chrono::microseconds SteadyPacingClock::Now() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

SteadyPacingClock& SteadyPacingClock::Shared() {
    static SteadyPacingClock clock;
    return clock;
}
