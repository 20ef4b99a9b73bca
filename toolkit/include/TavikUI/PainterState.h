// Saves the cairo state on construction and restores it on scope exit.
#pragma once

#include <cairo.h>

namespace TavikUI {

class PainterState {
public:
    explicit PainterState(cairo_t* cr) : m_cr(cr) { cairo_save(m_cr); }
    ~PainterState() { cairo_restore(m_cr); }
    PainterState(const PainterState&) = delete;
    PainterState& operator=(const PainterState&) = delete;

private:
    cairo_t* m_cr;
};

} // namespace TavikUI
