// Demo text line: drawn straight into the window buffer.
#include "DemoLabel.h"

#include "TavikUI/MRender.h"

void DemoLabel::DrawControl(cairo_t* cr, TavikUI::CRect) {
    TavikUI::MRender::DrawString(cr, m_title, m_rect, GetGDIFont(), m_textColor, m_hAlign, m_vAlign, false);
}
