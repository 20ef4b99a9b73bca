// A background or separator rectangle, pre-rendered over the window background it covers.
#include "TavikUI/CArea.h"

#include "TavikUI/MRender.h"
#include "TavikUI/PaintManager.h"

namespace TavikUI {

CArea::CArea(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled, 1) {}

void CArea::DrawControl(cairo_t* cr, CRect) {
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_cacheValid || !m_memDC.surface) {
        cairo_surface_t* cache = UpdateMemDC(w, h);
        cairo_t* c = cairo_create(cache);
        cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
        if (cairo_surface_t* window = m_manager ? m_manager->GetSurface() : nullptr)
            cairo_set_source_surface(c, window, -m_rect.left, -m_rect.top);
        else
            cairo_set_source_rgba(c, 0, 0, 0, 0);
        cairo_paint(c);
        cairo_set_operator(c, CAIRO_OPERATOR_OVER);
        CRect local(0, 0, w, h);
        if (m_start == 0 && m_end == 0) {
            if (m_frame) {
                MRender::DrawColor(c, local, m_frameColor);
                local.DeflateRect(1, 1);
            }
            MRender::FillSolidRect(c, local, m_fill);
        } else if (m_vertical) {
            MRender::DrawVerticalTransition(c, local, m_fill, m_start, m_end);
        } else {
            MRender::DrawHorizontalTransition(c, local, m_fill, m_start, m_end);
        }
        cairo_destroy(c);
    }
    MRender::BitBlt(cr, m_rect.left, m_rect.top, w, h, m_memDC.surface, 0, 0);
}

void CArea::SetTransparent(int start, int end, uint32_t colour) {
    m_start = start < 0 ? 0 : start > 100 ? 100 : start;
    m_end = end < 0 ? 0 : end > 100 ? 100 : end;
    m_fill = colour;
    UpdateControl(1, 0);
}

void CArea::SetFrame(int frame, uint32_t argb, int) {
    m_frame = frame;
    m_frameColor = argb;
    UpdateControl(1, 0);
}

void CArea::SetDirection(int vertical) {
    m_vertical = vertical ? 1 : 0;
    UpdateControl(1, 0);
}

} // namespace TavikUI
