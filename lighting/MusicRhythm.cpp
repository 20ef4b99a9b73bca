// The music effect's settings and the level each captured packet sends while the effect is shown.
#include "lighting/MusicRhythm.h"

#include <algorithm>

#include "lighting/LightEffectBits.h"
#include "lighting/MusicLevel.h"

bool MusicRhythm::OnMusicEffect(int effect)
{
    if (effect != 1 && effect != 2)
        return false;
    m_effect = effect;
    return true;
}

void MusicRhythm::OnSensitivity(int position)
{
    m_sliderPosition = std::clamp(position, 0, kSliderMax);
    m_sensitivity = SensitivityFromSlider(m_sliderPosition);
}

bool MusicRhythm::OnPeriod(int periodMs)
{
    if (periodMs <= 0)
        return false;
    if (m_periodMs.exchange(periodMs) != periodMs && m_periodListener)
        m_periodListener(periodMs);
    return true;
}

bool MusicRhythm::OnMusicColour(int controlId)
{
    const int index = controlId - kIdMusicColourFirst;
    if (index < 0 || index >= kMusicColourCount)
        return false;
    m_colour = index;
    return true;
}

void MusicRhythm::TakeControls()
{
    m_sensitivity = SensitivityFromSlider(m_sliderPosition);
}

int MusicRhythm::OnMusicPacket(const int16_t* samples, int count)
{
    if (!Sending() || !m_sender)
        return -1;
    return m_sender(MusicLevelOfPacket(samples, count), m_sensitivity.load(), m_effect.load(), m_colour.load());
}
