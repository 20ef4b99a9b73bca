// The lighting page's constants: effect parameter bits, control ids, and the colours of its buttons.
#pragma once

#include <array>

// Bits of LightModeRecord::m_configFunc: which editors an effect offers and what its upload adds.
enum LightConfigBits : int {
    kLightBrightness = 0x1,
    kLightSpeed = 0x2,
    kLightDirectionHorizontal = 0x4,
    kLightDirectionVertical = 0x8,
    kLightRgbEditors = 0x10,
    kLightColourButton = 0x20, // the colour button and the multicolour check box
    kLightColourSet1 = 0x40,
    kLightColourSet2 = 0x80,
    kLightCustomKeys = 0x100,
    kLightMusic = 0x200,
    kLightScreen = 0x400,
    kLightOptionGroups = 0x800,
    kLightColourSet3 = 0x1000,
};

// Control ids of the lighting page that the handlers are reached by.
enum LightControlId : int {
    kIdEffectList = 71,
    kIdPreview = 72,
    kIdBrightness = 75,
    kIdSpeed = 77,
    kIdDirectionLeft = 79,
    kIdDirectionRight = 80,
    kIdDirectionTop = 81,
    kIdDirectionBottom = 82,
    kIdColourSet1First = 84,  // 84-91
    kIdColourSet2First = 93,  // 93-100
    kIdColourSet3First = 102, // 102-109
    kIdCustomSlot = 110,
    kIdColourButton = 112,
    kIdMulticolour = 113,
    kIdColourWheel = 116,
    kIdRedSlider = 120,
    kIdGreenSlider = 121,
    kIdBlueSlider = 122,
    kIdRedField = 123,
    kIdGreenField = 124,
    kIdBlueField = 125,
    kIdPresetFirst = 126, // 126-134
    kIdMusicEffect = 144,
    kIdMusicSensitivity = 146,
    kIdMusicPeriod = 148,
    kIdMusicColourFirst = 150, // 150-156
    kIdOptionFirst = 158,      // six rows of seven, rows 8 ids apart: 158, 166, 174, 182, 190, 198
};

// Modes of the preview picture.
enum LightPreviewMode : int { kPreviewEffect = 102, kPreviewCustom = 103, kPreviewStill = 104 };

inline constexpr int kColourSetSize = 8;
inline constexpr int kOptionRows = 6;
inline constexpr int kOptionChoices = 7;
inline constexpr int kOptionRowStride = 8;
inline constexpr int kPresetCount = 9;
inline constexpr int kMusicColourCount = 7;
inline constexpr int kCustomSlotCount = 3;

// Label of the per-key painting view.
inline constexpr int kTextPaintKeys = 87;

// COLORREF values (0x00BBGGRR).
namespace LightColours {
inline constexpr int kBlack = 0x000000;
inline constexpr int kRed = 0x0000FF;
inline constexpr int kGreen = 0x00FF00;
inline constexpr int kBlue = 0xFF0000;
inline constexpr int kYellow = 0x00FFFF;
inline constexpr int kMagenta = 0xFF00FF;
inline constexpr int kCyan = 0xFFFF00;
inline constexpr int kWhite = 0xFFFFFF;
inline constexpr int kMulticolour = -1; // the button that shows the multicolour picture

// Buttons of colour sets 1 to 3, index = colorindex.
inline constexpr std::array<std::array<int, kColourSetSize>, 3> kColourSets{{
    {kMulticolour, kRed, kGreen, kBlue, kYellow, kMagenta, kCyan, kWhite},
    {kBlack, kRed, kGreen, kBlue, kMagenta, kYellow, kCyan, kWhite},
    {kMulticolour, kRed, kGreen, kBlue, kYellow, kMagenta, kCyan, kWhite},
}};
inline constexpr std::array<int, kPresetCount> kPresets{kBlack, kRed,  kGreen, kBlue, kYellow,
                                                        kMagenta, kCyan, kWhite, kBlack};
inline constexpr std::array<int, kMusicColourCount> kMusicColours{kRed, kGreen, kBlue, kYellow, kMagenta, kCyan, kWhite};
inline constexpr std::array<std::array<int, kOptionChoices>, kOptionRows> kOptionRowColours{{
    {kRed, kGreen, kBlue, kYellow, kMagenta, kCyan, kWhite},
    {kRed, kGreen, kBlue, kMagenta, kYellow, 0xFFE100, kWhite},
    {kRed, kGreen, 0xE10000, kMagenta, 0x00E1E1, kCyan, kWhite},
    {kRed, kGreen, 0xE10000, kMagenta, kYellow, kCyan, kWhite},
    {kRed, kGreen, kBlue, kMagenta, kYellow, kCyan, kWhite},
    {kRed, kGreen, kBlue, kYellow, kMagenta, kCyan, kWhite},
}};
} // namespace LightColours
