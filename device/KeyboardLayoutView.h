// What a layout load changes in the window: tabs, firmware button, lighting sliders, keyboard pictures.
#pragma once

#include <string>

// The three keyboard pictures a layout fills, each on its own page.
enum class KeyboardPicture { KeyAssignment, Lighting, Settings };

struct LayoutRect {
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    bool operator==(const LayoutRect&) const = default;
};

// One key as a keyboard picture shows it.
struct LayoutKeyItem {
    std::string m_name;
    std::string m_description;
    int m_code = 0;
    LayoutRect m_rect;
    std::string m_icon;   // always empty
};

// The window's side of a layout load. The defaults do nothing, so a caller overrides only what it has.
class KeyboardLayoutView {
public:
    virtual ~KeyboardLayoutView() = default;
    // Tabs 1, 2, 3 and 7 of the main window's tab strip.
    virtual void SetTabVisible(int tab, bool visible);
    virtual void SetFirmwareButtonVisible(bool visible);
    // Upper limits of the lighting page's brightness and speed sliders.
    virtual void SetLightSliderMaxima(int brightnessMax, int speedMax);
    virtual void ClearKeyItems(KeyboardPicture picture);
    // Places the picture at `placement` in its page, with image "keyboard/<name>" of the given size.
    virtual void SetKeyboardPicture(KeyboardPicture picture, const LayoutRect& placement, const std::string& image,
                                    int width, int height);
    virtual void AddKeyItem(KeyboardPicture picture, const LayoutKeyItem& item);
};
