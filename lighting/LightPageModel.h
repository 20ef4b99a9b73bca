// What the lighting page shows: the effect list, each editor's visibility and value, and the preview.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "lighting/LightEffectBits.h"

// One row of the effect list.
struct LightEffectEntry {
    int m_mode = 0;
    int m_nameId = 0; // language text id of the effect's name
    int m_configFunc = 0;
};

// The keyboard picture's preview of the current effect.
struct LightPreview {
    int m_mode = kPreviewEffect;
    int m_speed = 0;
    bool m_colorful = true;
    int m_colour = 0;             // COLORREF
    bool m_screenEffect = false;
};

struct LightPageModel {
    std::vector<LightEffectEntry> m_effects;
    int m_selected = -1; // index into m_effects, -1 when none
    int m_currentMode = 0;
    int m_configFunc = 0;

    int m_brightnessMax = 0;
    int m_speedMax = 0;
    bool m_brightnessVisible = false;
    int m_brightness = 0; // 0 while hidden
    bool m_speedVisible = false;
    int m_speed = 0; // 0 while hidden

    bool m_horizontalVisible = false;
    bool m_leftChecked = true; // 79 checked, else 80
    bool m_verticalVisible = false;
    bool m_topChecked = true; // 81 checked, else 82

    // The red, green and blue sliders and fields, the colour wheel and the presets.
    bool m_rgbVisible = false;
    std::array<int, 3> m_rgb{255, 0, 0};

    bool m_colourButtonVisible = false; // colour button 112 and multicolour box 113
    int m_buttonColour = LightColours::kRed;
    bool m_multicolour = false;

    std::array<bool, 3> m_colourSetVisible{};
    int m_colourIndex = 0; // the checked button of the shown sets

    bool m_optionsVisible = false;
    std::array<int, kOptionRows> m_optionChoice{}; // checked choice per row (0-6), -1 when none

    // The per-key painting view of the custom effect.
    bool m_customVisible = false;
    int m_customLabel = 0;
    int m_paintColour = LightColours::kRed;
    std::map<int, int> m_keyColours; // key code -> COLORREF, every key item of the picture
    int m_customSlot = 0;            // index 0-2 of the slot combo box

    bool m_musicPanelVisible = false;
    LightPreview m_preview;
};
