// Where drawing lands on the reference device: the mapping from a surface's logical units to
// device pixels and the pixel rectangles that lines, arcs, polygons and text cover. The header
// of a metafile carries the union of them.
#pragma once

#include <cstdint>
#include <limits>
#include <span>

#include "platform/emf/emf_types.h"

namespace emf {

// Logical units to reference-device pixels for one map mode (MM_TEXT or MM_HIMETRIC).
class DeviceMapping {
  public:
    explicit DeviceMapping(int map_mode) noexcept;

    double x(double logical_x) const noexcept { return logical_x * scale_x_; }
    double y(double logical_y) const noexcept { return logical_y * scale_y_; }
    // Pixels per logical unit, as a positive length.
    double length_scale() const noexcept;
    // The 0.01 mm per logical unit that text records carry for renderers.
    float hundredths_of_mm_x() const noexcept;
    float hundredths_of_mm_y() const noexcept;

  private:
    double scale_x_;
    double scale_y_;  // negative where logical y grows upwards
};

// A rectangle in device pixels, grown point by point; empty until the first point.
class DeviceExtent {
  public:
    void add(double x, double y) noexcept;
    void add(const DeviceExtent& other) noexcept;
    // Widens a non-empty extent on every side (half a pen width).
    void grow(double margin) noexcept;
    bool empty() const noexcept { return left_ > right_; }
    // Inclusive pixel rectangle; (0, 0, -1, -1) when empty, as GDI writes an empty picture.
    RECTL rect() const noexcept;

  private:
    double left_ = std::numeric_limits<double>::infinity();
    double top_ = std::numeric_limits<double>::infinity();
    double right_ = -std::numeric_limits<double>::infinity();
    double bottom_ = -std::numeric_limits<double>::infinity();
};

// Straight pieces and polygon outlines: the points, widened by half the pen width.
DeviceExtent points_extent(const DeviceMapping& mapping, std::span<const POINTL> points,
                           double half_pen_width);

// An arc lies inside its ellipse's box whichever way a renderer sweeps it, so the box is
// taken whole.
DeviceExtent arc_extent(const DeviceMapping& mapping, const RECTL& box, double half_pen_width);

// Text cell box: `advance` along the baseline direction and `height` across it, both in
// logical units, placed at the reference point by the alignment flags and turned by the
// escapement (tenths of a degree, counter-clockwise on the device).
DeviceExtent text_extent(const DeviceMapping& mapping, POINTL reference, double advance,
                         double height, std::int32_t escapement, std::uint32_t align);

}  // namespace emf
