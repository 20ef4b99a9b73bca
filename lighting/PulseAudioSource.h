// Records the default output's monitor through the PulseAudio simple API (PipeWire serves it too).
#pragma once

#include "lighting/IAudioSource.h"

struct pa_simple;

class PulseAudioSource final : public IAudioSource {
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;

    ~PulseAudioSource() override;
    bool Open(int periodMs, WaveFormat& format) override;
    bool Read(int periodMs, std::vector<int16_t>& samples) override;
    void Close() override;

private:
    pa_simple* m_stream = nullptr;
};
