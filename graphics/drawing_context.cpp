#include "graphics/drawing_context.h"

#include <cstdint>
#include <string>

#include "base/run_time_error.h"

namespace graphics {

namespace {

constexpr emf::COLORREF black = emf::RGB(0, 0, 0);

// The width field counts tenths of a millimetre; the pen takes 0.01 mm in a 16-bit product.
int pen_width(std::int16_t width) {
    const int units = width * 10;
    if (units < INT16_MIN || units > INT16_MAX) {
        throw base::RunTimeError(base::ErrorNumber::overflow,
                                 "line width " + std::to_string(width));
    }
    return units;
}

emf::HPEN create_line_pen(emf::Gdi& gdi, std::int16_t line_kind, std::int16_t width,
                          emf::COLORREF colour) {
    switch (line_kind) {
        case 0:
            return gdi.CreatePen(emf::PS_SOLID, pen_width(width), colour);
        case 1:
            return gdi.CreatePen(emf::PS_DOT, 0, colour);
        case 2:
            return gdi.CreatePen(emf::PS_DASH, 0, colour);
        case 3:
            return gdi.CreatePen(emf::PS_DASHDOT, 0, colour);
        case 4:
            return gdi.CreatePen(emf::PS_DASHDOTDOT, 0, colour);
        case 5:
            return gdi.CreatePen(emf::PS_NULL, 0, colour);
        default:
            return gdi.CreatePen(emf::PS_SOLID, pen_width(width), black);
    }
}

}  // namespace

/* ---------------------------------------------------------------- SelectLinePen */
void SelectLinePen(DrawingContext& context, std::int16_t line_kind, std::int16_t width,
                   emf::COLORREF colour) {
    // Between blocks there is no pen to change, and nothing is drawn anyway.
    if (context.surface == emf::HDC{}) return;
    if (line_kind == context.cached_line_kind && width == context.cached_width &&
        colour == context.cached_colour) {
        return;
    }
    emf::Gdi& gdi = context.gdi;
    // Made first, so that a width that overflows leaves the current pen and cache as they were.
    const emf::HPEN pen = create_line_pen(gdi, line_kind, width, colour);
    gdi.SelectObject(context.surface, context.replaced_pen);
    gdi.DeleteObject(context.current_pen);
    context.replaced_pen = gdi.SelectObject(context.surface, pen);
    context.current_pen = pen;
    context.cached_line_kind = line_kind;
    context.cached_width = width;
    context.cached_colour = colour;
}

}  // namespace graphics
