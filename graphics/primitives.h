// The drawing primitives: one call per kind of figure record. Positions and sizes are metafile
// units (0.01 mm, y upwards), already converted by the caller; every value handed to the
// surface is rounded to a 32-bit integer, halves to even (RunTimeError overflow beyond it).
// Fonts and brushes made by a call are deleted before it returns; pens stay with the context.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "graphics/drawing_context.h"

namespace graphics {

// A straight line in black.
void DrawLine(DrawingContext& context, double x1, double y1, double x2, double y2,
              std::int16_t line_kind, std::int16_t width);

// An elliptical arc in black inside the box with the corners (x1, y1) and (x2, y2), from the
// ray at `start_angle` to the ray at `end_angle` (degrees, counter-clockwise on the page).
void DrawArc(DrawingContext& context, double x1, double y1, double x2, double y2,
             double start_angle, double end_angle, std::int16_t line_kind, std::int16_t width);

// A closed polygon of the first n points, outlined with the line kind in `line_colour` and
// filled by `fill_kind` (FillKind of the job files: 1 solid, 2 to 7 hatches, in
// `fill_colour`); any other fill kind fills with the brush the surface holds. Colours are
// 0x00BBGGRR. More points asked for than given is a subscript error.
void DrawPolygon(DrawingContext& context, std::span<const emf::POINTL> points, std::int16_t n,
                 std::int16_t fill_kind, std::int16_t line_kind, std::int16_t width,
                 std::int32_t line_colour, std::int32_t fill_colour);

namespace varnel {

// Text (CP932) whose first character cell has its bottom-left corner at (x, y), `height`
// units high, turned by `angle` degrees. Each character advances half the height per byte.
// "$U" and "$S" switch to half-size characters hanging from the top of the cell or standing
// on its bottom, "$Z" back to full size; the codes themselves are not drawn.
void DrawLabelText(DrawingContext& context, std::string_view text, double x, double y,
                   std::int16_t height, double angle);

}  // namespace varnel

namespace sorbel {

// The same text without size codes, drawn character by character from the cell's bottom-left
// corner, each position rounded before the next advance.
void DrawLabelText(DrawingContext& context, std::string_view text, double x, double y,
                   std::int16_t height, double angle);

}  // namespace sorbel

}  // namespace graphics
