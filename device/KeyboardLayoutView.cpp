// Do-nothing defaults of the layout view, for callers without a window.
#include "device/KeyboardLayoutView.h"

void KeyboardLayoutView::SetTabVisible(int, bool) {}
void KeyboardLayoutView::SetFirmwareButtonVisible(bool) {}
void KeyboardLayoutView::SetLightSliderMaxima(int, int) {}
void KeyboardLayoutView::ClearKeyItems(KeyboardPicture) {}
void KeyboardLayoutView::SetKeyboardPicture(KeyboardPicture, const LayoutRect&, const std::string&, int, int) {}
void KeyboardLayoutView::AddKeyItem(KeyboardPicture, const LayoutKeyItem&) {}
