// fragsize is one period: left at its default the server buffers about two seconds before the
// first packet arrives, and the keyboard's lights would trail the music by as much.
#include "lighting/PulseAudioSource.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace {

uint32_t PeriodBytes(int periodMs)
{
    int frames = PulseAudioSource::kSampleRate * (periodMs > 0 ? periodMs : 1) / 1000;
    return static_cast<uint32_t>(frames * PulseAudioSource::kChannels * 2);
}

} // namespace

PulseAudioSource::~PulseAudioSource()
{
    Close();
}

bool PulseAudioSource::Open(int periodMs, WaveFormat& format)
{
    Close();
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = kSampleRate;
    sampleFormat.channels = kChannels;
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.tlength = static_cast<uint32_t>(-1);
    attributes.prebuf = static_cast<uint32_t>(-1);
    attributes.minreq = static_cast<uint32_t>(-1);
    attributes.fragsize = PeriodBytes(periodMs);
    int error = 0;
    m_stream = pa_simple_new(nullptr, "Molvane", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "Music level",
                             &sampleFormat, nullptr, &attributes, &error);
    if (m_stream == nullptr)
        return false;
    format.channels = kChannels;
    format.sampleRate = kSampleRate;
    format.bitsPerSample = 16;
    format.blockAlign = kChannels * 2;
    format.bytesPerSecond = format.blockAlign * kSampleRate;
    return true;
}

bool PulseAudioSource::Read(int periodMs, std::vector<int16_t>& samples)
{
    if (m_stream == nullptr)
        return false;
    samples.resize(PeriodBytes(periodMs) / 2);
    int error = 0;
    if (pa_simple_read(m_stream, samples.data(), samples.size() * 2, &error) < 0) {
        samples.clear();
        return false;
    }
    return true;
}

void PulseAudioSource::Close()
{
    if (m_stream != nullptr)
        pa_simple_free(m_stream);
    m_stream = nullptr;
}
