// Drawing routines over cairo and pango, and image loading (PNG through cairo, GIF through giflib).
#include "TavikUI/MRender.h"

#include "TavikUI/PainterState.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <gif_lib.h>
#include <map>
#include <pango/pangocairo.h>

namespace TavikUI {

namespace {

// One pango context and layout for the UI thread; reusing them avoids a context per string.
struct TextEngine {
    PangoContext* context = nullptr;
    PangoLayout* layout = nullptr;
    std::map<std::pair<std::wstring, int>, PangoFontDescription*> fonts;
    std::wstring lastText;
    TextFont lastFont;
    int lastWidth = -2;
    bool lastWrap = false;
    bool lastEllipsis = false;

    TextEngine() {
        context = pango_font_map_create_context(pango_cairo_font_map_get_default());
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        layout = pango_layout_new(context);
    }
    ~TextEngine() {
        for (auto& [key, desc] : fonts)
            pango_font_description_free(desc);
        g_object_unref(layout);
        g_object_unref(context);
    }

    PangoLayout* Prepare(const std::wstring& text, const TextFont& font, int width, bool wrap, bool ellipsis) {
        // Controls draw the same text once per state frame; the shaped layout is kept for repeats.
        if (text == lastText && font == lastFont && width == lastWidth && wrap == lastWrap && ellipsis == lastEllipsis) {
            pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
            return layout;
        }
        lastText = text;
        lastFont = font;
        lastWidth = width;
        lastWrap = wrap;
        lastEllipsis = ellipsis;
        pango_layout_set_font_description(layout, Describe(font));
        PangoAttrList* attrs = pango_attr_list_new();
        if (font.style & FontStyleUnderline)
            pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (font.style & FontStyleStrikeout)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
        std::string utf8 = MRender::ToUtf8(text);
        pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
        pango_layout_set_width(layout, width > 0 && (wrap || ellipsis) ? width * PANGO_SCALE : -1);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        pango_layout_set_ellipsize(layout, ellipsis && !wrap ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
        pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
        return layout;
    }

    PangoFontDescription* Describe(const TextFont& font) {
        auto key = std::make_pair(font.family, font.size * 16 + (font.style & 3));
        if (auto it = fonts.find(key); it != fonts.end())
            return it->second;
        PangoFontDescription* desc = pango_font_description_new();
        std::string family = MRender::ToUtf8(font.family.empty() ? L"Sans" : font.family);
        pango_font_description_set_family(desc, family.c_str());
        pango_font_description_set_absolute_size(desc, std::max(font.size, 1) * PANGO_SCALE);
        pango_font_description_set_weight(desc, (font.style & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_style(desc, (font.style & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        fonts.emplace(key, desc);
        return desc;
    }
};

TextEngine& Engine() {
    static TextEngine engine;
    return engine;
}

void RoundedPath(cairo_t* cr, double x, double y, double w, double h, double rx, double ry) {
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    cairo_new_sub_path(cr);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    auto corner = [&](double cx, double cy, double a0, double a1) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, a0, a1);
        cairo_restore(cr);
    };
    corner(x + w - rx, y + ry, -M_PI / 2, 0);
    corner(x + w - rx, y + h - ry, 0, M_PI / 2);
    corner(x + rx, y + h - ry, M_PI / 2, M_PI);
    corner(x + rx, y + ry, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Builds a premultiplied ARGB32 surface from straight 0xAARRGGBB pixels.
cairo_surface_t* SurfaceFromPixels(const std::vector<uint32_t>& px, int w, int h) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t p = px[static_cast<size_t>(y) * w + x];
            uint32_t a = p >> 24;
            auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

bool EndsWithGif(const std::wstring& path) {
    if (path.size() < 4)
        return false;
    std::wstring ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), ::towlower);
    return ext == L".gif";
}

} // namespace

std::string MRender::ToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring MRender::FromUtf8(const std::string& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0) {
            out += L'\uFFFD';
            ++i;
            continue;
        }
        uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!ok) {
            out += L'\uFFFD';
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += extra + 1;
    }
    return out;
}

cairo_surface_t* MRender::LoadImageFromFile(const std::wstring& path) {
    if (EndsWithGif(path)) {
        std::vector<GifFrame> frames = LoadGifFrames(path);
        if (frames.empty())
            return nullptr;
        for (size_t i = 1; i < frames.size(); ++i)
            cairo_surface_destroy(frames[i].image);
        return frames[0].image;
    }
    std::string file = ToUtf8(path);
    cairo_surface_t* s = cairo_image_surface_create_from_png(file.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return s;
}

std::vector<GifFrame> MRender::LoadGifFrames(const std::wstring& path) {
    std::vector<GifFrame> frames;
    int error = 0;
    std::string file = ToUtf8(path);
    GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
    if (!gif)
        return frames;
    if (DGifSlurp(gif) != GIF_OK || gif->SWidth <= 0 || gif->SHeight <= 0 || gif->SWidth > 8192 ||
        gif->SHeight > 8192) {
        DGifCloseFile(gif, &error);
        return frames;
    }
    const int w = gif->SWidth;
    const int h = gif->SHeight;
    std::vector<uint32_t> canvas(static_cast<size_t>(w) * h, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& img = gif->SavedImages[i];
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
        std::vector<uint32_t> before = canvas;
        const GifImageDesc& d = img.ImageDesc;
        for (int y = 0; y < d.Height && map; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                int cx = d.Left + x;
                int cy = d.Top + y;
                if (cx < 0 || cy < 0 || cx >= w || cy >= h)
                    continue;
                int index = img.RasterBits[static_cast<size_t>(y) * d.Width + x];
                if (index == gcb.TransparentColor || index >= map->ColorCount)
                    continue;
                const GifColorType& c = map->Colors[index];
                canvas[static_cast<size_t>(cy) * w + cx] = 0xFF000000u | (c.Red << 16) | (c.Green << 8) | c.Blue;
            }
        }
        if (cairo_surface_t* s = SurfaceFromPixels(canvas, w, h))
            frames.push_back({s, gcb.DelayTime * 10});
        // Disposal decides what the next frame is drawn over.
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = std::max(0, d.Top); y < std::min(h, d.Top + d.Height); ++y)
                for (int x = std::max(0, d.Left); x < std::min(w, d.Left + d.Width); ++x)
                    canvas[static_cast<size_t>(y) * w + x] = 0;
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = std::move(before);
        }
    }
    DGifCloseFile(gif, &error);
    return frames;
}

void MRender::CheckAlphaColor(uint32_t& colour) {
    if ((colour & 0x00FFFFFF) == 0)
        colour = (colour & 0xFF000000) | 1;
}

void MRender::SetSourceARGB(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                          (argb >> 24) / 255.0);
}

void MRender::SetSourceCOLORREF(cairo_t* cr, uint32_t colorref, int alpha) {
    SetSourceARGB(cr, ARGBFromCOLORREF(colorref, alpha));
}

uint32_t MRender::ARGBFromCOLORREF(uint32_t colorref, int alpha) {
    uint32_t r = colorref & 0xFF;
    uint32_t g = (colorref >> 8) & 0xFF;
    uint32_t b = (colorref >> 16) & 0xFF;
    return (static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24) | (r << 16) | (g << 8) | b;
}

void MRender::DrawImage(cairo_t* cr, cairo_surface_t* image, CRect dst, int sx, int sy, int sw, int sh) {
    if (!image || sw <= 0 || sh <= 0 || dst.IsRectEmpty())
        return;
    PainterState state(cr);
    cairo_rectangle(cr, dst.left, dst.top, dst.Width(), dst.Height());
    if (dst.Width() == sw && dst.Height() == sh) {
        cairo_set_source_surface(cr, image, dst.left - sx, dst.top - sy);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_FAST);
        cairo_fill(cr);
        return;
    }
    // A sub-surface with padded edges keeps scaling from sampling the neighbouring frame.
    cairo_surface_t* sub = cairo_surface_create_for_rectangle(image, sx, sy, sw, sh);
    cairo_clip(cr);
    cairo_translate(cr, dst.left, dst.top);
    cairo_scale(cr, static_cast<double>(dst.Width()) / sw, static_cast<double>(dst.Height()) / sh);
    cairo_set_source_surface(cr, sub, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    // Skin parts are stretched, rarely shrunk; bilinear is exact enough and far cheaper than GOOD.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
    cairo_surface_destroy(sub);
}

void MRender::DrawImageFrame(cairo_t* cr, cairo_surface_t* image, CRect dst, int sx, int sy, int sw, int sh,
                             int corner) {
    DrawImageFrameMID(cr, image, dst, sx, sy, sw, sh, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(cairo_t* cr, cairo_surface_t* image, CRect dst, int sx, int sy, int sw, int sh,
                                int left, int top, int right, int bottom) {
    if (!image || sw <= 0 || sh <= 0 || dst.IsRectEmpty())
        return;
    left = std::clamp(left, 0, sw / 2);
    right = std::clamp(right, 0, sw - left);
    top = std::clamp(top, 0, sh / 2);
    bottom = std::clamp(bottom, 0, sh - top);
    // Corners never overlap when the target is smaller than the borders.
    int dl = std::min(left, dst.Width() / 2), dr = std::min(right, dst.Width() - dl);
    int dt = std::min(top, dst.Height() / 2), db = std::min(bottom, dst.Height() - dt);
    const int srcx[4] = {sx, sx + left, sx + sw - right, sx + sw};
    const int srcy[4] = {sy, sy + top, sy + sh - bottom, sy + sh};
    const int dstx[4] = {dst.left, dst.left + dl, dst.right - dr, dst.right};
    const int dsty[4] = {dst.top, dst.top + dt, dst.bottom - db, dst.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            CRect d(dstx[col], dsty[row], dstx[col + 1], dsty[row + 1]);
            int w = srcx[col + 1] - srcx[col];
            int h = srcy[row + 1] - srcy[row];
            if (!d.IsRectEmpty() && w > 0 && h > 0)
                DrawImage(cr, image, d, srcx[col], srcy[row], w, h);
        }
    }
}

void MRender::DrawRoundRectange(cairo_t* cr, double x, double y, double w, double h, int divisor, uint32_t pen,
                                float pen_width, bool fill, uint32_t fill_colour) {
    if (divisor <= 0 || w <= 0 || h <= 0)
        return;
    double ew = w / divisor;
    double eh = h / divisor;
    if (std::abs(ew / 2 - eh / 2) > 10)
        ew = eh = std::min(ew, eh);
    PainterState state(cr);
    RoundedPath(cr, x, y, w, h, ew / 2, eh / 2);
    if (fill) {
        SetSourceARGB(cr, fill_colour);
        cairo_fill_preserve(cr);
    }
    SetSourceARGB(cr, pen);
    cairo_set_line_width(cr, pen_width);
    cairo_stroke(cr);
}

void MRender::DrawRoundRectange(cairo_t* cr, double x, double y, double w, double h, int radius, uint32_t colour) {
    if (w <= 0 || h <= 0)
        return;
    PainterState state(cr);
    RoundedPath(cr, x, y, w, h, radius, radius);
    SetSourceARGB(cr, colour);
    cairo_fill(cr);
}

int MRender::TransitionAlpha(int start, int end, int i, int n) {
    int hi = 255 - std::min(start, end) * 255 / 100;
    int lo = (100 - std::max(start, end)) * 255 / 100;
    if (n <= 0)
        return hi & 0xFF;
    int a = start < end ? hi - i * (hi - lo) / n : lo + i * (hi - lo) / n;
    return a & 0xFF;
}

namespace {

// A fade drawn as one-pixel strips across the rectangle, rows when `vertical`, columns otherwise.
void DrawTransition(cairo_t* cr, CRect rect, uint32_t colorref, int start, int end, bool vertical) {
    PainterState state(cr);
    const int n = vertical ? rect.Height() : rect.Width();
    if (start == end) {
        MRender::SetSourceCOLORREF(cr, colorref, MRender::TransitionAlpha(start, end, 0, n));
        cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
        cairo_fill(cr);
        return;
    }
    for (int i = 0; i < n; ++i) {
        MRender::SetSourceCOLORREF(cr, colorref, MRender::TransitionAlpha(start, end, i, n));
        if (vertical)
            cairo_rectangle(cr, rect.left, rect.top + i, rect.Width(), 1);
        else
            cairo_rectangle(cr, rect.left + i, rect.top, 1, rect.Height());
        cairo_fill(cr);
    }
}

} // namespace

void MRender::DrawVerticalTransition(cairo_t* cr, CRect rect, uint32_t colorref, int start, int end) {
    DrawTransition(cr, rect, colorref, start, end, true);
}

void MRender::DrawHorizontalTransition(cairo_t* cr, CRect rect, uint32_t colorref, int start, int end) {
    DrawTransition(cr, rect, colorref, start, end, false);
}

void MRender::DrawRightBottomTransition(cairo_t* cr, CRect rect, uint32_t argb, int width) {
    if (width <= 0 || rect.IsRectEmpty())
        return;
    PainterState state(cr);
    double r = ((argb >> 16) & 0xFF) / 255.0, g = ((argb >> 8) & 0xFF) / 255.0, b = (argb & 0xFF) / 255.0;
    double a = (argb >> 24) / 255.0;
    cairo_pattern_t* right = cairo_pattern_create_linear(rect.right - width, 0, rect.right, 0);
    cairo_pattern_add_color_stop_rgba(right, 0, r, g, b, 0);
    cairo_pattern_add_color_stop_rgba(right, 1, r, g, b, a);
    cairo_rectangle(cr, rect.right - width, rect.top, width, rect.Height());
    cairo_set_source(cr, right);
    cairo_fill(cr);
    cairo_pattern_destroy(right);
    cairo_pattern_t* bottom = cairo_pattern_create_linear(0, rect.bottom - width, 0, rect.bottom);
    cairo_pattern_add_color_stop_rgba(bottom, 0, r, g, b, 0);
    cairo_pattern_add_color_stop_rgba(bottom, 1, r, g, b, a);
    cairo_rectangle(cr, rect.left, rect.bottom - width, rect.Width(), width);
    cairo_set_source(cr, bottom);
    cairo_fill(cr);
    cairo_pattern_destroy(bottom);
}

cairo_surface_t* MRender::CreateARGB32Bitmap(int width, int height) {
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 1), std::max(height, 1));
}

void MRender::BitBlt(cairo_t* dst, int x, int y, int w, int h, cairo_surface_t* src, int sx, int sy) {
    if (!src || w <= 0 || h <= 0)
        return;
    PainterState state(dst);
    cairo_set_operator(dst, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(dst, src, x - sx, y - sy);
    cairo_rectangle(dst, x, y, w, h);
    cairo_fill(dst);
}

void MRender::AlphaBlend(cairo_t* dst, int x, int y, int w, int h, cairo_surface_t* src, int sx, int sy) {
    if (!src || w <= 0 || h <= 0)
        return;
    PainterState state(dst);
    cairo_set_source_surface(dst, src, x - sx, y - sy);
    cairo_rectangle(dst, x, y, w, h);
    cairo_fill(dst);
}

void MRender::FillSolidRect(cairo_t* cr, CRect rect, uint32_t colorref) {
    DrawColor(cr, rect, ARGBFromCOLORREF(colorref, 255));
}

void MRender::DrawColor(cairo_t* cr, CRect rect, uint32_t argb) {
    if ((argb >> 24) == 0 || rect.IsRectEmpty())
        return;
    PainterState state(cr);
    SetSourceARGB(cr, argb);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr);
}

void MRender::DrawGradient(cairo_t* cr, CRect rect, uint32_t from, uint32_t to, bool vertical, int) {
    if (rect.IsRectEmpty())
        return;
    PainterState state(cr);
    cairo_pattern_t* p = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                  : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgb(p, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                         (c & 0xFF) / 255.0);
    };
    stop(0, from);
    stop(1, to);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(cr);
    cairo_set_source(cr, p);
    cairo_paint_with_alpha(cr, (((from >> 24) + (to >> 24)) / 2) / 255.0);
    cairo_pattern_destroy(p);
}

void MRender::DrawTextW(cairo_t* cr, CRect rect, const std::wstring& text, uint32_t colorref, const TextFont& font,
                        unsigned format) {
    unsigned h = (format & DT_RIGHT) ? 2 : (format & DT_CENTER) ? 1 : 0;
    unsigned v = (format & DT_VCENTER) ? 4 : (format & DT_BOTTOM) ? 8 : 0;
    if (text.empty() || rect.IsRectEmpty())
        return;
    bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    PangoLayout* layout = Engine().Prepare(text, font, rect.Width(), wrap, (format & DT_END_ELLIPSIS) != 0);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    CPoint origin = GetOriginPoint(rect, CSize(logical.width, logical.height), h, v);
    PainterState state(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(cr);
    SetSourceARGB(cr, ARGBFromCOLORREF(colorref, 255));
    cairo_move_to(cr, origin.x - logical.x, origin.y);
    pango_cairo_show_layout(cr, layout);
}

void MRender::DrawString(cairo_t* cr, const std::wstring& text, CRect rect, const TextFont& font, uint32_t argb,
                         unsigned h_align, unsigned v_align, bool wrap) {
    if (text.empty() || rect.IsRectEmpty() || (argb >> 24) == 0)
        return;
    PangoLayout* layout = Engine().Prepare(text, font, rect.Width(), wrap, false);
    if (wrap)
        pango_layout_set_alignment(layout, h_align == 1 ? PANGO_ALIGN_CENTER
                                           : h_align == 2 ? PANGO_ALIGN_RIGHT
                                                          : PANGO_ALIGN_LEFT);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    CPoint origin = wrap ? GetOriginPoint(rect, CSize(rect.Width(), logical.height), 0, v_align)
                         : GetOriginPoint(rect, CSize(logical.width, logical.height), h_align, v_align);
    PainterState state(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(cr);
    SetSourceARGB(cr, argb);
    cairo_move_to(cr, origin.x - (wrap ? 0 : logical.x), origin.y);
    pango_cairo_show_layout(cr, layout);
}

CSize MRender::GetTextBounds(const std::wstring& text, const TextFont& font, int max_width) {
    if (text.empty())
        return {};
    PangoLayout* layout = Engine().Prepare(text, font, max_width, max_width > 0, false);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return {logical.width, logical.height};
}

CPoint MRender::GetOriginPoint(CRect outer, CSize inner, unsigned h_align, unsigned v_align) {
    int x = h_align == 1 ? outer.left + (outer.Width() - inner.cx) / 2 : h_align == 2 ? outer.right - inner.cx : outer.left;
    int y = v_align == 4 ? outer.top + (outer.Height() - inner.cy) / 2 : v_align == 8 ? outer.bottom - inner.cy : outer.top;
    return {x, y};
}

int MRender::SaveBitmapToFile(cairo_surface_t* surface, const std::wstring& path) {
    if (!surface)
        return 0;
    std::string file = ToUtf8(path);
    return cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS ? 1 : 0;
}

} // namespace TavikUI
