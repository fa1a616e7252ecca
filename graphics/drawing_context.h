// The one drawing state of a program and the pen selection every line-drawing primitive
// shares. Coordinates handed to the primitives are metafile units: 0.01 mm, y upwards.
#pragma once

#include <cstdint>
#include <string>

#include "platform/emf/gdi.h"

namespace graphics {

struct DrawingContext {
    emf::Gdi gdi;        // the program's graphics interface: surfaces, pens, brushes, fonts
    emf::HDC surface{};  // the open BlockMetafile; null between blocks (drawing does nothing)
    emf::HPEN current_pen{};
    emf::HGDIOBJ replaced_pen{};  // the surface's own pen, displaced by current_pen
    std::int16_t cached_line_kind = 0;
    std::int16_t cached_width = 2;
    emf::COLORREF cached_colour = 0;
    std::string Font_Name;  // face of all text, CP932
};

// Makes the pen for a line kind (LineKind of the job files) current, keeping the current one
// when kind, width and colour are those it was made for. Kind 0: solid, width x 10 units;
// 1 dotted, 2 dashed, 3 dash-dot, 4 dash-dot-dot, one device pixel wide; 5 no line; any other
// kind solid black, width x 10. RunTimeError overflow when width x 10 leaves 16 bits.
void SelectLinePen(DrawingContext& context, std::int16_t line_kind, std::int16_t width,
                   emf::COLORREF colour);

}  // namespace graphics
