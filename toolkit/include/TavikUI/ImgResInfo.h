// A skin image as cached by a window: the picture and the size of one of its side-by-side frames.
#pragma once

#include <cairo.h>

namespace TavikUI {

struct ImgResInfo {
    cairo_surface_t* image = nullptr; // owned by the cache
    int frame_width = 0;
    int height = 0;
    int count = 1;
};

} // namespace TavikUI
