// The audio capture thread of the music effect: records what the PC plays and hands every
// packet of 16-bit samples to its proxy, one packet per capture period.
#pragma once

#include "lighting/IAudioSource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class AudioCapture {
public:
    static constexpr int kDefaultPeriodMs = 33;

    class IProxy {
    public:
        virtual ~IProxy() = default;
        // The capture loop has ended (not called when capture never started).
        virtual void OnStopped() = 0;
        // One packet: `count` interleaved 16-bit samples, or null and 0 when none arrived.
        virtual void OnData(const int16_t* samples, int count, int blockAlign, int bitsPerSample, int channels) = 0;
        // The capture format, before the first packet.
        virtual void OnFormat(const WaveFormat& format) = 0;
    };

    // Forwards to optional member functions of `T`; an empty slot does nothing.
    template <class T>
    class Proxy final : public IProxy {
    public:
        using StoppedMethod = void (T::*)();
        using DataMethod = void (T::*)(const int16_t*, int, int, int, int);
        using FormatMethod = void (T::*)(const WaveFormat&);

        Proxy(T* target, StoppedMethod stopped, DataMethod data, FormatMethod format)
            : m_target(target), m_stopped(stopped), m_data(data), m_format(format)
        {
        }
        void OnStopped() override
        {
            if (m_stopped)
                (m_target->*m_stopped)();
        }
        void OnData(const int16_t* samples, int count, int blockAlign, int bits, int channels) override
        {
            if (m_data)
                (m_target->*m_data)(samples, count, blockAlign, bits, channels);
        }
        void OnFormat(const WaveFormat& format) override
        {
            if (m_format)
                (m_target->*m_format)(format);
        }

    private:
        T* m_target;
        StoppedMethod m_stopped;
        DataMethod m_data;
        FormatMethod m_format;
    };

    AudioCapture() = default;
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Starts the capture thread unless one runs. Without a sound server the thread ends quietly.
    bool StartAudioCapture(std::unique_ptr<IAudioSource> source, std::unique_ptr<IProxy> proxy);
    // Ends the loop after the current pass and waits for the thread.
    void StopAudioCapture();
    bool IsRunning() const { return m_running.load(); }

    // Milliseconds per packet; 0 is ignored.
    void SetPeriod(int periodMs);
    int Period() const { return m_periodMs.load(); }

private:
    void Run();

    std::unique_ptr<IAudioSource> m_source;
    std::unique_ptr<IProxy> m_proxy;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<int> m_periodMs{kDefaultPeriodMs};
    std::thread m_thread;
};
