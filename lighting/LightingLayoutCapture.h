// Keeps what the lighting page needs from a layout load (slider maxima, the lighting picture's keys)
// while passing every call on to the window's own view.
#pragma once

#include <vector>

#include "device/KeyboardLayoutView.h"
#include "lighting/LightingService.h"

class LightingLayoutCapture final : public KeyboardLayoutView {
public:
    // `next` (may be null) receives every call unchanged.
    explicit LightingLayoutCapture(KeyboardLayoutView* next = nullptr) : m_next(next) {}

    void SetTabVisible(int tab, bool visible) override;
    void SetFirmwareButtonVisible(bool visible) override;
    void SetLightSliderMaxima(int brightnessMax, int speedMax) override;
    void ClearKeyItems(KeyboardPicture picture) override;
    void SetKeyboardPicture(KeyboardPicture picture, const LayoutRect& placement, const std::string& image, int width,
                            int height) override;
    void AddKeyItem(KeyboardPicture picture, const LayoutKeyItem& item) override;

    // The lighting page's part of the load just made from `def`.
    LightingLayout Layout(const KeyboardDef& def) const;

private:
    KeyboardLayoutView* m_next;
    int m_brightnessMax = 0;
    int m_speedMax = 0;
    std::vector<LightKeyItem> m_keys;
};
