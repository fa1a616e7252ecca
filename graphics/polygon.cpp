#include <algorithm>
#include <string>

#include "base/run_time_error.h"
#include "graphics/primitives.h"

namespace graphics {

/* ---------------------------------------------------------------- DrawPolygon */
void DrawPolygon(DrawingContext& context, std::span<const emf::POINTL> points, std::int16_t n,
                 std::int16_t fill_kind, std::int16_t line_kind, std::int16_t width,
                 std::int32_t line_colour, std::int32_t fill_colour) {
    SelectLinePen(context, line_kind, width, static_cast<emf::COLORREF>(line_colour));
    const std::size_t count = static_cast<std::size_t>(std::max<std::int16_t>(n, 0));
    if (count > points.size()) {
        throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                                 "polygon of " + std::to_string(n) + " points with " +
                                     std::to_string(points.size()) + " given");
    }
    emf::Gdi& gdi = context.gdi;
    const auto fill = static_cast<emf::COLORREF>(fill_colour);
    emf::HBRUSH brush{};
    if (fill_kind == 1) {
        brush = gdi.CreateSolidBrush(fill);
    } else if (fill_kind >= 2 && fill_kind <= 7) {
        brush = gdi.CreateHatchBrush(fill_kind - 2, fill);
    }
    if (brush == emf::HBRUSH{}) {
        gdi.Polygon(context.surface, points.first(count));
        return;
    }
    const emf::HGDIOBJ displaced = gdi.SelectObject(context.surface, brush);
    gdi.Polygon(context.surface, points.first(count));
    gdi.SelectObject(context.surface, displaced);
    gdi.DeleteObject(brush);
}

}  // namespace graphics
