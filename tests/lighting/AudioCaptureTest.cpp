// The capture loop against a scripted source: packet delivery, empty packets, endings.
#include "lighting/AudioCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace {

// Hands out the scripted packets, then empty ones (or a failure) until stopped.
class ScriptedSource final : public IAudioSource {
public:
    bool Open(int periodMs, WaveFormat& format) override
    {
        m_openedPeriod = periodMs;
        format = WaveFormat{2, 48000, 16, 4, 192000};
        return m_canOpen;
    }
    bool Read(int, std::vector<int16_t>& samples) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        samples.clear();
        if (m_next < m_packets.size()) {
            samples = m_packets[m_next++];
            return true;
        }
        return !m_failAtEnd;
    }
    void Close() override { ++m_closed; }

    bool m_canOpen = true;
    bool m_failAtEnd = true;
    int m_openedPeriod = 0;
    int m_closed = 0;
    std::size_t m_next = 0;
    std::vector<std::vector<int16_t>> m_packets;
};

class CallLog {
public:
    void OnStopped() { Add("stopped"); }
    void OnData(const int16_t* samples, int count, int blockAlign, int bits, int channels)
    {
        Add("data " + std::to_string(count) + (samples ? " first " + std::to_string(samples[0]) : " null") + " " +
            std::to_string(blockAlign) + "/" + std::to_string(bits) + "/" + std::to_string(channels));
    }
    void OnFormat(const WaveFormat& format) { Add("format " + std::to_string(format.sampleRate)); }

    void Add(std::string call)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_calls.push_back(std::move(call));
    }
    std::vector<std::string> Calls()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_calls;
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_calls;
};

using LogProxy = AudioCapture::Proxy<CallLog>;

std::unique_ptr<LogProxy> AllSlots(CallLog& log)
{
    return std::make_unique<LogProxy>(&log, &CallLog::OnStopped, &CallLog::OnData, &CallLog::OnFormat);
}

void WaitUntilStopped(AudioCapture& capture)
{
    for (int i = 0; i < 2000 && capture.IsRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

// Catches packets lost, reordered or passed with the wrong format, and a broken stream not ending the loop.
TEST(AudioCapture, DeliversEveryPacketThenStops)
{
    auto source = std::make_unique<ScriptedSource>();
    source->m_packets = {{7, 8, 9, 10}, {}, {-3, 0}};
    ScriptedSource* raw = source.get();
    CallLog log;
    AudioCapture capture;
    capture.SetPeriod(0); // ignored
    ASSERT_TRUE(capture.StartAudioCapture(std::move(source), AllSlots(log)));
    WaitUntilStopped(capture);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"format 48000", "data 4 first 7 4/16/2", "data 0 null 4/16/2",
                                                     "data 2 first -3 4/16/2", "stopped"}));
    EXPECT_EQ(raw->m_openedPeriod, AudioCapture::kDefaultPeriodMs);
    capture.StopAudioCapture();
    EXPECT_EQ(raw->m_closed, 1);
}

// Catches a missing sound server producing calls (or a crash) instead of a quiet end.
TEST(AudioCapture, EndsQuietlyWithoutSoundServer)
{
    auto source = std::make_unique<ScriptedSource>();
    source->m_canOpen = false;
    CallLog log;
    AudioCapture capture;
    ASSERT_TRUE(capture.StartAudioCapture(std::move(source), AllSlots(log)));
    WaitUntilStopped(capture);
    capture.StopAudioCapture();
    EXPECT_TRUE(log.Calls().empty());
}

// Catches a stop request that hangs or skips OnStopped, and an empty proxy slot that crashes.
TEST(AudioCapture, StopEndsARunningLoop)
{
    auto source = std::make_unique<ScriptedSource>();
    source->m_failAtEnd = false; // silence forever
    CallLog log;
    AudioCapture capture;
    ASSERT_TRUE(capture.StartAudioCapture(std::move(source),
                                          std::make_unique<LogProxy>(&log, &CallLog::OnStopped, nullptr, nullptr)));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(capture.IsRunning());
    capture.StopAudioCapture();
    EXPECT_FALSE(capture.IsRunning());
    EXPECT_EQ(log.Calls(), std::vector<std::string>{"stopped"});
}
