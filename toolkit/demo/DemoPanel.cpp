// Demo panel: draws its frame, then its children shifted by the scroll offset.
#include "DemoPanel.h"

#include "TavikUI/MRender.h"

using namespace TavikUI;

void DemoPanel::DrawControl(cairo_t* cr, CRect) {
    MRender::DrawRoundRectange(cr, m_rect.left + 0.5, m_rect.top + 0.5, m_rect.Width() - 1, m_rect.Height() - 1, 40,
                               0xFF285055, 1.0f, true, 0xFF0F151C);
}

int DemoPanel::DrawSubControls(cairo_t* cr, CRect paint_rect) {
    if (!GetEnableScroll() || !IsOverflowing())
        return MPanel::DrawSubControls(cr, paint_rect);
    DrawScrolledChildren(cr, paint_rect);
    return 1;
}
