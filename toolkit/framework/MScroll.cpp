// Scroll bar drawing and dragging; the thumb picture is the toolkit's own skin image when present.
#include "TavikUI/MScroll.h"

#include "TavikUI/ControlNotify.h"
#include "TavikUI/MRender.h"
#include "TavikUI/PaintManager.h"

#include <algorithm>

namespace TavikUI {

MScroll::MScroll(MObject* parent, unsigned id, CRect rect, int visible, bool vertical)
    : MControlFont(parent, id, rect, L"", visible, 1, 1), m_vertical(vertical) {}

int MScroll::TrackLength() const { return m_vertical ? m_rect.Height() : m_rect.Width(); }

int MScroll::ThumbLength() const {
    int track = TrackLength();
    if (m_range <= 0 || m_view >= m_range)
        return track;
    return std::clamp(track * m_view / m_range, std::min(12, track), track);
}

CRect MScroll::GetThumbRect() const {
    int track = TrackLength();
    int thumb = ThumbLength();
    int start = m_range > 0 ? (track - thumb) * m_pos / m_range : 0;
    if (m_vertical)
        return CRect(m_rect.left, m_rect.top + start, m_rect.right, m_rect.top + start + thumb);
    return CRect(m_rect.left + start, m_rect.top, m_rect.left + start + thumb, m_rect.bottom);
}

void MScroll::DrawControl(cairo_t* cr, CRect) {
    if (m_manager && !m_image) {
        unsigned res = m_vertical ? m_manager->GetScrollResIDV() : m_manager->GetScrollResIDH();
        if (ImgResInfo* info = res ? m_manager->AddImgResInfo(res, L"PNG", 4, 1) : nullptr) {
            m_image = info->image;
            m_frameWidth = info->frame_width;
            m_frameHeight = info->height;
        }
    }
    MRender::DrawColor(cr, m_rect, 0x40000000);
    CRect thumb = GetThumbRect();
    int state = !m_enabled ? 3 : m_dragging ? 2 : m_hot ? 1 : 0;
    if (m_image && m_frameWidth > 0) {
        int corner = std::min(m_frameWidth, m_frameHeight) / 2;
        MRender::DrawImageFrame(cr, m_image, thumb, state * m_frameWidth, 0, m_frameWidth, m_frameHeight, corner);
        return;
    }
    const uint32_t colours[4] = {0xFF3A4650, 0xFF4C5A66, 0xFF285055, 0xFF2A2A2A};
    double r = (m_vertical ? thumb.Width() : thumb.Height()) / 2.0;
    MRender::DrawRoundRectange(cr, thumb.left, thumb.top, thumb.Width(), thumb.Height(), static_cast<int>(r),
                               colours[state]);
}

bool MScroll::SetPos(int pos) {
    pos = std::clamp(pos, 0, std::max(0, m_range));
    if (pos == m_pos)
        return false;
    m_pos = pos;
    UpdateControl(0, 0);
    return true;
}

void MScroll::SetRange(int range) {
    m_range = std::max(0, range);
    m_pos = std::clamp(m_pos, 0, m_range);
}

int MScroll::OnControlLButtonDown(unsigned, CPoint pt) {
    if (!m_enabled)
        return 0;
    CRect thumb = GetThumbRect();
    if (thumb.PtInRect(pt)) {
        m_dragging = true;
        m_dragOffset = m_vertical ? pt.y - thumb.top : pt.x - thumb.left;
        UpdateControl(0, 0);
        return 1;
    }
    // A press on the track pages towards the pointer.
    bool before = m_vertical ? pt.y < thumb.top : pt.x < thumb.left;
    int page = std::max(1, m_range * std::max(1, m_view) / std::max(1, m_range + m_view));
    if (SetPos(m_pos + (before ? -page : page)))
        SendMessageW(NOTIFY_SCROLL, static_cast<unsigned>(m_pos), 0);
    return 1;
}

int MScroll::OnControlLButtonUp(unsigned, CPoint) {
    if (!m_dragging)
        return 0;
    m_dragging = false;
    UpdateControl(0, 0);
    return 1;
}

int MScroll::OnControlMouseMove(unsigned, CPoint pt) {
    bool hot = PtInRect(pt) != 0;
    if (hot != m_hot) {
        m_hot = hot;
        UpdateControl(0, 0);
    }
    if (!m_dragging)
        return hot ? 1 : 0;
    int free_space = TrackLength() - ThumbLength();
    if (free_space <= 0)
        return 1;
    int start = (m_vertical ? pt.y - m_rect.top : pt.x - m_rect.left) - m_dragOffset;
    if (SetPos(start * m_range / free_space))
        SendMessageW(NOTIFY_SCROLL, static_cast<unsigned>(m_pos), 0);
    return 1;
}

int MScroll::OnControlScroll(int, unsigned direction, CPoint) {
    if (!m_enabled || m_range <= 0)
        return 0;
    if (SetPos(m_pos + (direction == 1 ? m_lineStep : -m_lineStep)))
        SendMessageW(NOTIFY_SCROLL, static_cast<unsigned>(m_pos), 0);
    return 1;
}

} // namespace TavikUI
