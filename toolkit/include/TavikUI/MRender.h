// Static drawing routines over cairo: images, nine-grid frames, rounded rectangles, gradients, text.
#pragma once

#include "TavikUI/Geometry.h"
#include "TavikUI/TextFont.h"

#include <cairo.h>
#include <cstdint>
#include <string>
#include <vector>

namespace TavikUI {

// DrawTextW format bits (their Win32 values).
enum : unsigned {
    DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20, DT_END_ELLIPSIS = 0x8000,
};

struct GifFrame {
    cairo_surface_t* image = nullptr; // owned by the caller
    int delay_ms = 0;
};

class MRender {
public:
    // PNG or GIF (first frame) as a premultiplied ARGB32 surface; null on failure. The caller destroys it.
    static cairo_surface_t* LoadImageFromFile(const std::wstring& path);
    // Every frame of a GIF, composed as a viewer shows them; empty on failure.
    static std::vector<GifFrame> LoadGifFrames(const std::wstring& path);
    static void CheckAlphaColor(uint32_t& colour);

    static void SetSourceARGB(cairo_t* cr, uint32_t argb);
    static void SetSourceCOLORREF(cairo_t* cr, uint32_t colorref, int alpha = 255);
    static uint32_t ARGBFromCOLORREF(uint32_t colorref, int alpha = 255);

    // Copies the source rectangle of `image` scaled into `dst`.
    static void DrawImage(cairo_t* cr, cairo_surface_t* image, CRect dst, int sx, int sy, int sw, int sh);
    static void DrawImageFrame(cairo_t* cr, cairo_surface_t* image, CRect dst, int sx, int sy, int sw, int sh,
                               int corner);
    static void DrawImageFrameMID(cairo_t* cr, cairo_surface_t* image, CRect dst, int sx, int sy, int sw, int sh,
                                  int left, int top, int right, int bottom);
    static void DrawRoundRectange(cairo_t* cr, double x, double y, double w, double h, int divisor, uint32_t pen,
                                  float pen_width, bool fill, uint32_t fill_colour);
    static void DrawRoundRectange(cairo_t* cr, double x, double y, double w, double h, int radius, uint32_t colour);
    // Row-by-row (vertical) or column-by-column alpha ramp of a COLORREF, as CArea draws it.
    static void DrawVerticalTransition(cairo_t* cr, CRect rect, uint32_t colorref, int start, int end);
    static void DrawHorizontalTransition(cairo_t* cr, CRect rect, uint32_t colorref, int start, int end);
    static void DrawRightBottomTransition(cairo_t* cr, CRect rect, uint32_t argb, int width);
    // The alpha of line `i` of `n` for start/end transparencies in percent.
    static int TransitionAlpha(int start, int end, int i, int n);

    static cairo_surface_t* CreateARGB32Bitmap(int width, int height);
    static void BitBlt(cairo_t* dst, int x, int y, int w, int h, cairo_surface_t* src, int sx, int sy);
    // Copies over what is there, honouring the source's alpha (as AlphaBlend does).
    static void AlphaBlend(cairo_t* dst, int x, int y, int w, int h, cairo_surface_t* src, int sx, int sy);
    static void FillSolidRect(cairo_t* cr, CRect rect, uint32_t colorref);
    // Fills with an ARGB colour; nothing when its alpha is 0.
    static void DrawColor(cairo_t* cr, CRect rect, uint32_t argb);
    static void DrawGradient(cairo_t* cr, CRect rect, uint32_t from, uint32_t to, bool vertical, int steps);

    static void DrawTextW(cairo_t* cr, CRect rect, const std::wstring& text, uint32_t colorref, const TextFont& font,
                          unsigned format);
    // Text in an ARGB colour with horizontal (0, 1, 2) and vertical (0, 4, 8) alignment.
    static void DrawString(cairo_t* cr, const std::wstring& text, CRect rect, const TextFont& font, uint32_t argb,
                           unsigned h_align, unsigned v_align, bool wrap);
    static CSize GetTextBounds(const std::wstring& text, const TextFont& font, int max_width = -1);
    static CPoint GetOriginPoint(CRect outer, CSize inner, unsigned h_align, unsigned v_align);
    static int SaveBitmapToFile(cairo_surface_t* surface, const std::wstring& path);

    static std::string ToUtf8(const std::wstring& text);
    static std::wstring FromUtf8(const std::string& text);
};

} // namespace TavikUI
