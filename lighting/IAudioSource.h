// A loopback recording of what the PC plays, as 16-bit samples; PulseAudio in the program.
#pragma once

#include <cstdint>
#include <vector>

// The capture format reported before capturing starts.
struct WaveFormat {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;      // channels x 2 for 16-bit samples
    int bytesPerSecond = 0;  // block align x sample rate
};

class IAudioSource {
public:
    virtual ~IAudioSource() = default;
    // Starts recording in packets of `periodMs`; false when there is nothing to record from.
    virtual bool Open(int periodMs, WaveFormat& format) = 0;
    // Waits for the next packet (about one period) and puts its interleaved samples into
    // `samples`, left empty when none arrived. False when the stream broke: capture ends.
    virtual bool Read(int periodMs, std::vector<int16_t>& samples) = 0;
    virtual void Close() = 0;
};
