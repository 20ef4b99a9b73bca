// A filled rectangle, plain or with a transparency ramp, used as a background or separator.
#pragma once

#include "TavikUI/MControl.h"

#include <cstdint>

namespace TavikUI {

class CArea : public MControl {
public:
    CArea(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void DrawControl(cairo_t* cr, CRect paint_rect) override;
    // Transparency in percent at the start and end of the ramp (0-100) and the fill colour (COLORREF).
    void SetTransparent(int start, int end, uint32_t colour);
    void SetFrame(int frame, uint32_t argb, int unused = 0);
    // 1 ramps over the rows, 0 over the columns.
    void SetDirection(int vertical);

private:
    int m_start = 80;
    int m_end = 80;
    uint32_t m_fill = 0xFFFFFF;
    int m_frame = 0;
    uint32_t m_frameColor = 0xFF050505;
    int m_vertical = 1;
};

} // namespace TavikUI
