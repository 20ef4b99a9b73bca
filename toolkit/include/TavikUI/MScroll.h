// A scroll bar: a track with a draggable thumb; reports NOTIFY_SCROLL with the new position.
#pragma once

#include "TavikUI/MControlFont.h"

namespace TavikUI {

class MScroll : public MControlFont {
public:
    MScroll(MObject* parent, unsigned id, CRect rect, int visible, bool vertical);

    void DrawControl(cairo_t* cr, CRect paint_rect) override;
    int OnControlLButtonDown(unsigned flags, CPoint pt) override;
    int OnControlLButtonUp(unsigned flags, CPoint pt) override;
    int OnControlMouseMove(unsigned flags, CPoint pt) override;
    int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
    int OnCheckMouseResponse(unsigned, CPoint pt) override { return m_dragging || PtInRect(pt); }

    // Range is the scrollable distance (content size minus view size); the position is clamped to it.
    void SetRange(int range);
    int GetRange() const { return m_range; }
    // Sets the position (clamped); true when it moved.
    bool SetPos(int pos);
    int GetPos() const { return m_pos; }
    void SetLineStep(int step) { m_lineStep = step > 0 ? step : 1; }
    int GetLineStep() const { return m_lineStep; }
    void SetViewSize(int view) { m_view = view; }
    bool IsVertical() const { return m_vertical; }
    CRect GetThumbRect() const;

private:
    int TrackLength() const;
    int ThumbLength() const;

    bool m_vertical;
    int m_range = 0;
    int m_pos = 0;
    int m_lineStep = 20;
    int m_view = 0;
    bool m_dragging = false;
    bool m_hot = false;
    int m_dragOffset = 0;
};

} // namespace TavikUI
