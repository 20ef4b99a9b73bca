// The level the music effect sends for one captured packet, and its sensitivity scaling.
#pragma once

#include <cstdint>

// 0-128: the magnitude of the sample ten from the end, divided by 256; 0 without samples or
// with fewer than ten.
int MusicLevelOfPacket(const int16_t* samples, int count);
// The level as sent: level x sensitivity, truncated, at most 255 (and not below 0).
int ScaleMusicLevel(int level, float sensitivity);
// The sensitivity slider (0-100) as a factor: position / 50.
float SensitivityFromSlider(int position);
