// Keeps what the lighting page needs from a layout load while passing every call on.
#include "lighting/LightingLayoutCapture.h"

#include "device/KeyboardLayout.h"

void LightingLayoutCapture::SetTabVisible(int tab, bool visible)
{
    if (m_next)
        m_next->SetTabVisible(tab, visible);
}

void LightingLayoutCapture::SetFirmwareButtonVisible(bool visible)
{
    if (m_next)
        m_next->SetFirmwareButtonVisible(visible);
}

void LightingLayoutCapture::SetLightSliderMaxima(int brightnessMax, int speedMax)
{
    m_brightnessMax = brightnessMax;
    m_speedMax = speedMax;
    if (m_next)
        m_next->SetLightSliderMaxima(brightnessMax, speedMax);
}

void LightingLayoutCapture::ClearKeyItems(KeyboardPicture picture)
{
    if (picture == KeyboardPicture::Lighting)
        m_keys.clear();
    if (m_next)
        m_next->ClearKeyItems(picture);
}

void LightingLayoutCapture::SetKeyboardPicture(KeyboardPicture picture, const LayoutRect& placement,
                                               const std::string& image, int width, int height)
{
    if (m_next)
        m_next->SetKeyboardPicture(picture, placement, image, width, height);
}

void LightingLayoutCapture::AddKeyItem(KeyboardPicture picture, const LayoutKeyItem& item)
{
    if (picture == KeyboardPicture::Lighting)
        m_keys.push_back({item.m_code, item.m_name});
    if (m_next)
        m_next->AddKeyItem(picture, item);
}

LightingLayout LightingLayoutCapture::Layout(const KeyboardDef& def) const
{
    return LightingLayout::From(def, m_brightnessMax, m_speedMax, m_keys);
}
