// A framed panel whose content scrolls under its own scroll bar.
#pragma once

#include "TavikUI/MPanel.h"

class DemoPanel : public TavikUI::MPanel {
public:
    DemoPanel(TavikUI::MObject* parent, unsigned id, TavikUI::CRect rect, int visible)
        : MPanel(parent, id, rect, visible) {}

    void DrawControl(cairo_t* cr, TavikUI::CRect paint_rect) override;
    int DrawSubControls(cairo_t* cr, TavikUI::CRect paint_rect) override;
};
