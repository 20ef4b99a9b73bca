// The source's blocking read paces the loop (one period per packet), so the thread never
// wakes up on its own between packets.
#include "lighting/AudioCapture.h"

#include <vector>

AudioCapture::~AudioCapture()
{
    StopAudioCapture();
}

bool AudioCapture::StartAudioCapture(std::unique_ptr<IAudioSource> source, std::unique_ptr<IProxy> proxy)
{
    if (m_running.load() || !source || !proxy)
        return false;
    if (m_thread.joinable())
        m_thread.join(); // an earlier loop that ended by itself
    m_source = std::move(source);
    m_proxy = std::move(proxy);
    m_stop = false;
    m_running = true;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void AudioCapture::StopAudioCapture()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
}

void AudioCapture::SetPeriod(int periodMs)
{
    if (periodMs > 0)
        m_periodMs = periodMs;
}

void AudioCapture::Run()
{
    WaveFormat format;
    if (!m_source->Open(m_periodMs.load(), format)) {
        m_running = false; // no sound server: the music effect simply sends nothing
        return;
    }
    m_proxy->OnFormat(format);
    std::vector<int16_t> samples;
    while (!m_stop.load()) {
        if (!m_source->Read(m_periodMs.load(), samples))
            break;
        if (samples.empty())
            m_proxy->OnData(nullptr, 0, format.blockAlign, format.bitsPerSample, format.channels);
        else
            m_proxy->OnData(samples.data(), static_cast<int>(samples.size()), format.blockAlign,
                            format.bitsPerSample, format.channels);
    }
    m_proxy->OnStopped();
    m_source->Close();
    m_running = false;
}
