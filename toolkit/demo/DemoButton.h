// A push button for the demo: a four-frame skin strip and a centred title, pre-rendered per state.
#pragma once

#include "TavikUI/MControlFont.h"

class DemoButton : public TavikUI::MControlFont {
public:
    DemoButton(TavikUI::MObject* parent, unsigned id, TavikUI::CRect rect, const wchar_t* title, int visible,
               int enabled);

    void DrawControl(cairo_t* cr, TavikUI::CRect paint_rect) override;
    int OnCheckMouseResponse(unsigned, TavikUI::CPoint pt) override { return PtInRect(pt); }
    int OnControlMouseMove(unsigned flags, TavikUI::CPoint pt) override;
    int OnControlLButtonDown(unsigned flags, TavikUI::CPoint pt) override;
    int OnControlLButtonUp(unsigned flags, TavikUI::CPoint pt) override;
    void SetControlEnabled(int enabled) override;
    int GetState() const { return m_state; }

private:
    void SetState(int state);
    void RenderFrames();

    int m_state = 0;
    bool m_pressed = false;
};
