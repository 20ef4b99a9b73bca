// Points, sizes and rectangles in window client or screen pixels, shaped like the Win32 ones.
#pragma once

#include <algorithm>

namespace TavikUI {

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    bool operator==(const CPoint&) const = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    bool operator==(const CSize&) const = default;
};

// Right and bottom are exclusive, as in Win32.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    bool operator==(const CRect&) const = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return {Width(), Height()}; }
    CPoint TopLeft() const { return {left, top}; }
    CPoint CenterPoint() const { return {left + Width() / 2, top + Height() / 2}; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void DeflateRect(int dx, int dy) { left += dx; right -= dx; top += dy; bottom -= dy; }
    void InflateRect(int dx, int dy) { DeflateRect(-dx, -dy); }
    bool Intersects(const CRect& o) const {
        return !IsRectEmpty() && !o.IsRectEmpty() && left < o.right && o.left < right && top < o.bottom &&
               o.top < bottom;
    }
    // Intersection; empty (all zero) when the two do not overlap.
    CRect Intersect(const CRect& o) const {
        if (!Intersects(o))
            return {};
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    // Smallest rectangle holding both; an empty side does not count.
    CRect Union(const CRect& o) const {
        if (IsRectEmpty())
            return o;
        if (o.IsRectEmpty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
};

} // namespace TavikUI
