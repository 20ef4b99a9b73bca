// The clock that paces the protocol's fixed pauses; tests put a virtual one in its place.
#pragma once

#include <atomic>
#include <chrono>

class PacingClock {
public:
    virtual ~PacingClock() = default;
    // Blocks the calling thread for `duration` (a virtual clock only advances its time).
    virtual void Sleep(std::chrono::microseconds duration) = 0;
    // Time since an arbitrary fixed origin.
    virtual std::chrono::microseconds Now() const = 0;
};

// Real time: monotonic clock, sleeps with clock_nanosleep.
class SteadyPacingClock final : public PacingClock {
public:
    void Sleep(std::chrono::microseconds duration) override;
    std::chrono::microseconds Now() const override;
    // The process-wide instance the device link uses unless told otherwise.
    static SteadyPacingClock& Shared();
};

// Virtual time: Sleep returns at once and moves Now forward; safe to share between threads.
class VirtualPacingClock final : public PacingClock {
public:
    void Sleep(std::chrono::microseconds duration) override { m_now += duration.count(); }
    std::chrono::microseconds Now() const override { return std::chrono::microseconds(m_now.load()); }

private:
    std::atomic<long long> m_now{0};
};
