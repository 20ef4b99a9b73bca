// Draws the skin images of theme1 with cairo: a dark, clean look; each image with the frame count its control needs.
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

struct Rgba {
    double r, g, b, a;
};

Rgba FromArgb(unsigned argb) {
    return {((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, (argb >> 24) / 255.0};
}

void SetColour(cairo_t* cr, unsigned argb) {
    Rgba c = FromArgb(argb);
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Theme colours.
constexpr unsigned kBackground = 0xFF090D13; // COLORREF 0x130D09 as ARGB
constexpr unsigned kFrame = 0xFF285055;
constexpr unsigned kAccent = 0xFF285055;
constexpr unsigned kAccentHot = 0xFF3A7077;
constexpr unsigned kAccentPressed = 0xFF1E3C40;
constexpr unsigned kDisabled = 0xFF2A2E33;
constexpr unsigned kPanel = 0xFF141A22;

// A strip of `frames` pictures of w x h, frame i drawn by `draw(cr, i)` with the origin at the frame's corner.
bool Strip(const std::filesystem::path& dir, const char* name, int frames, int w, int h,
           const std::function<void(cairo_t*, int)>& draw) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w * frames, h);
    cairo_t* cr = cairo_create(s);
    for (int i = 0; i < frames; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, i * w, 0, w, h);
        cairo_clip(cr);
        cairo_translate(cr, i * w, 0);
        draw(cr, i);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(s, (dir / name).c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    if (!ok)
        std::fprintf(stderr, "tavik-skingen: cannot write %s\n", (dir / name).c_str());
    return ok;
}

const unsigned kStateColours[4] = {kAccent, kAccentHot, kAccentPressed, kDisabled};

void Thumb(cairo_t* cr, int i, int w, int h) {
    SetColour(cr, kStateColours[i]);
    RoundRect(cr, 0.5, 0.5, w - 1, h - 1, std::min(w, h) / 2.0);
    cairo_fill(cr);
}

void Panel(cairo_t* cr, int w, int h, double radius, unsigned fill, unsigned border) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
    Rgba top = FromArgb(fill);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r * 1.25, top.g * 1.25, top.b * 1.25, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, top.r, top.g, top.b, top.a);
    RoundRect(cr, 0.5, 0.5, w - 1, h - 1, radius);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    SetColour(cr, border);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavik-skingen <output folder>\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "tavik-skingen: cannot create %s\n", dir.c_str());
        return 1;
    }
    bool ok = true;
    // The toolkit's own scroll-bar thumbs: normal, hover, pressed, disabled.
    ok &= Strip(dir, "tavik_scroll_v.png", 4, 7, 24, [](cairo_t* cr, int i) { Thumb(cr, i, 7, 24); });
    ok &= Strip(dir, "tavik_scroll_h.png", 4, 24, 7, [](cairo_t* cr, int i) { Thumb(cr, i, 24, 7); });
    // Dialog and menu backgrounds, drawn as nine-grids.
    ok &= Strip(dir, "dialog_bk.png", 1, 64, 64, [](cairo_t* cr, int) { Panel(cr, 64, 64, 10, kBackground, kFrame); });
    ok &= Strip(dir, "menu_bk.png", 1, 72, 72, [](cairo_t* cr, int) { Panel(cr, 72, 72, 12, kPanel, kFrame); });
    ok &= Strip(dir, "menu_separator.png", 1, 32, 1, [](cairo_t* cr, int) {
        SetColour(cr, 0x60FFFFFF);
        cairo_paint(cr);
    });
    // A push button for the demo: normal, hover, pressed, disabled.
    ok &= Strip(dir, "demo_button.png", 4, 120, 36, [](cairo_t* cr, int i) {
        SetColour(cr, kStateColours[i]);
        RoundRect(cr, 0.5, 0.5, 119, 35, 6);
        cairo_fill_preserve(cr);
        SetColour(cr, i == 3 ? 0xFF3A3E44 : 0xFF5FA8B0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
    // A small menu icon with three states (normal, hover, pressed).
    ok &= Strip(dir, "menu_icon.png", 3, 16, 16, [](cairo_t* cr, int i) {
        SetColour(cr, i == 0 ? 0xFFB0C4C8 : 0xFFFFFFFF);
        cairo_arc(cr, 8, 8, i == 2 ? 5 : 6, 0, 2 * M_PI);
        cairo_fill(cr);
    });
    if (!ok)
        return 1;
    std::ofstream(dir / ".generated") << "theme1\n";
    return 0;
}
