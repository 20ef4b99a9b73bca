// A font request: family, em size in pixels and style bits (1 bold, 2 italic, 4 underline, 8 strikeout).
#pragma once

#include <string>

namespace TavikUI {

enum FontStyle : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

struct TextFont {
    std::wstring family;
    int size = 14;
    int style = FontStyleRegular;
    bool operator==(const TextFont&) const = default;
};

} // namespace TavikUI
