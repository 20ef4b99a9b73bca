// The music effect's settings and the level each captured packet sends while the effect is shown.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

class MusicRhythm {
public:
    // Sends one level: (level 0-128, sensitivity, music effect, colour) -> the value sent, or -1.
    using LevelSender = std::function<int(int level, double sensitivity, int effect, int colour)>;

    static constexpr int kDefaultPeriodMs = 33;
    static constexpr int kSliderMax = 100;

    // Set before the capture starts; the capture thread calls it without a lock.
    void SetSender(LevelSender sender) { m_sender = std::move(sender); }
    // Told the new capture period whenever it changes (e.g. AudioCapture::SetPeriod).
    void SetPeriodListener(std::function<void(int)> listener) { m_periodListener = std::move(listener); }

    // Control 144: the effect combo's item data, 1 or 2; other values are ignored.
    bool OnMusicEffect(int effect);
    // Control 146: slider position 0-100 (clamped); the sensitivity becomes position / 50.
    void OnSensitivity(int position);
    // Control 148: the period combo's item data in milliseconds; 0 is ignored.
    bool OnPeriod(int periodMs);
    // Controls 150-156: the colour index is id - 150; other ids are ignored.
    bool OnMusicColour(int controlId);
    // Selecting the music effect takes the controls' values into the settings.
    void TakeControls();

    int Effect() const { return m_effect; }
    float Sensitivity() const { return m_sensitivity; }
    int SliderPosition() const { return m_sliderPosition; }
    int PeriodMs() const { return m_periodMs; }
    int Colour() const { return m_colour; }

    // Levels go out only while the lighting page is shown and its current effect is the music effect.
    void SetPageShown(bool shown) { m_pageShown = shown; }
    void SetMusicEffectShown(bool shown) { m_effectShown = shown; }
    bool Sending() const { return m_pageShown && m_effectShown; }

    // Capture thread: one packet (null and 0 when none arrived). Returns the value sent, or -1 when
    // nothing was sent (effect not shown, no sender, or the write failed).
    int OnMusicPacket(const int16_t* samples, int count);

private:
    LevelSender m_sender;
    std::function<void(int)> m_periodListener;
    std::atomic<int> m_effect{1};
    std::atomic<float> m_sensitivity{1.0f};
    std::atomic<int> m_sliderPosition{kSliderMax};
    std::atomic<int> m_periodMs{kDefaultPeriodMs};
    std::atomic<int> m_colour{0};
    std::atomic<bool> m_pageShown{false};
    std::atomic<bool> m_effectShown{false};
};
