// A line of text for the demo.
#pragma once

#include "TavikUI/MControlFont.h"

class DemoLabel : public TavikUI::MControlFont {
public:
    DemoLabel(TavikUI::MObject* parent, unsigned id, TavikUI::CRect rect, const wchar_t* title, int visible)
        : MControlFont(parent, id, rect, title, visible, 1, 1) {}

    void DrawControl(cairo_t* cr, TavikUI::CRect paint_rect) override;
};
