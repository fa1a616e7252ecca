#include <cmath>

#include "graphics/primitives.h"
#include "jobfiles/numeric.h"

namespace graphics {

using jobfiles::to_int32;

/* ---------------------------------------------------------------- DrawLine */
void DrawLine(DrawingContext& context, double x1, double y1, double x2, double y2,
              std::int16_t line_kind, std::int16_t width) {
    SelectLinePen(context, line_kind, width, emf::RGB(0, 0, 0));
    context.gdi.MoveToEx(context.surface, to_int32(x1), to_int32(y1), nullptr);
    context.gdi.LineTo(context.surface, to_int32(x2), to_int32(y2));
}

/* ---------------------------------------------------------------- DrawArc */
void DrawArc(DrawingContext& context, double x1, double y1, double x2, double y2,
             double start_angle, double end_angle, std::int16_t line_kind, std::int16_t width) {
    SelectLinePen(context, line_kind, width, emf::RGB(0, 0, 0));
    const double pi = 4 * std::atan(1.0);
    const double mx = (x1 + x2) / 2;
    const double my = (y1 + y2) / 2;
    const double a = start_angle * pi / 180;
    const double b = end_angle * pi / 180;
    // Radial points on the ellipse's own axes; with y upwards a positive angle turns
    // counter-clockwise on the page.
    const double start_x = mx + (x2 - mx) * std::cos(a);
    const double start_y = my - (y2 - my) * std::sin(a);
    const double end_x = mx + (x2 - mx) * std::cos(b);
    const double end_y = my - (y2 - my) * std::sin(b);
    context.gdi.Arc(context.surface, to_int32(x1), to_int32(y1), to_int32(x2), to_int32(y2),
                    to_int32(start_x), to_int32(start_y), to_int32(end_x), to_int32(end_y));
}

}  // namespace graphics
