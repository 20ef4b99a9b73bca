// The level follows a single sample per packet: cheap, and at 30 packets a second enough
// for the keyboard's own animation.
#include "lighting/MusicLevel.h"

#include <algorithm>
#include <cstdlib>

int MusicLevelOfPacket(const int16_t* samples, int count)
{
    if (samples == nullptr || count < 10)
        return 0;
    // -32768 has no positive 16-bit counterpart; as an unsigned magnitude it is 32768.
    auto magnitude = static_cast<uint16_t>(std::abs(static_cast<int>(samples[count - 10])));
    return magnitude / 256;
}

int ScaleMusicLevel(int level, float sensitivity)
{
    float scaled = static_cast<float>(level) * sensitivity;
    if (!(scaled > 0.0f))
        return 0;
    return std::min(255, static_cast<int>(std::min(scaled, 255.0f)));
}

float SensitivityFromSlider(int position)
{
    return static_cast<float>(position) / 50.0f;
}
