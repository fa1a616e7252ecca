#include "platform/emf/device_bounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace emf {

namespace {

constexpr double pixels_per_hundredth_mm_x =
    static_cast<double>(reference_device_pixels.cx) / (reference_device_millimetres.cx * 100.0);
constexpr double pixels_per_hundredth_mm_y =
    static_cast<double>(reference_device_pixels.cy) / (reference_device_millimetres.cy * 100.0);

std::int32_t clamp_to_int32(double value) noexcept {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::round(value), low, high));
}

}  // namespace

/* ---------------------------------------------------------------- DeviceMapping */
DeviceMapping::DeviceMapping(int map_mode) noexcept
    : scale_x_(map_mode == MM_HIMETRIC ? pixels_per_hundredth_mm_x : 1.0),
      scale_y_(map_mode == MM_HIMETRIC ? -pixels_per_hundredth_mm_y : 1.0) {}

/* ---------------------------------------------------------------- DeviceMapping::length_scale */
double DeviceMapping::length_scale() const noexcept {
    return (std::abs(scale_x_) + std::abs(scale_y_)) / 2.0;
}

/* ---------------------------------------------------------------- DeviceMapping::hundredths */
float DeviceMapping::hundredths_of_mm_x() const noexcept {
    return static_cast<float>(std::abs(scale_x_) / pixels_per_hundredth_mm_x);
}

float DeviceMapping::hundredths_of_mm_y() const noexcept {
    return static_cast<float>(std::abs(scale_y_) / pixels_per_hundredth_mm_y);
}

/* ---------------------------------------------------------------- DeviceExtent */
void DeviceExtent::add(double x, double y) noexcept {
    left_ = std::min(left_, x);
    right_ = std::max(right_, x);
    top_ = std::min(top_, y);
    bottom_ = std::max(bottom_, y);
}

void DeviceExtent::add(const DeviceExtent& other) noexcept {
    if (other.empty()) return;
    add(other.left_, other.top_);
    add(other.right_, other.bottom_);
}

void DeviceExtent::grow(double margin) noexcept {
    if (empty()) return;
    left_ -= margin;
    top_ -= margin;
    right_ += margin;
    bottom_ += margin;
}

RECTL DeviceExtent::rect() const noexcept {
    if (empty()) return {0, 0, -1, -1};
    return {clamp_to_int32(left_), clamp_to_int32(top_), clamp_to_int32(right_),
            clamp_to_int32(bottom_)};
}

/* ---------------------------------------------------------------- points_extent */
DeviceExtent points_extent(const DeviceMapping& mapping, std::span<const POINTL> points,
                           double half_pen_width) {
    DeviceExtent extent;
    for (const POINTL& p : points) extent.add(mapping.x(p.x), mapping.y(p.y));
    extent.grow(half_pen_width * mapping.length_scale());
    return extent;
}

/* ---------------------------------------------------------------- arc_extent */
DeviceExtent arc_extent(const DeviceMapping& mapping, const RECTL& box, double half_pen_width) {
    DeviceExtent extent;
    extent.add(mapping.x(box.left), mapping.y(box.top));
    extent.add(mapping.x(box.right), mapping.y(box.bottom));
    extent.grow(half_pen_width * mapping.length_scale());
    return extent;
}

/* ---------------------------------------------------------------- text_extent */
DeviceExtent text_extent(const DeviceMapping& mapping, POINTL reference, double advance,
                         double height, std::int32_t escapement, std::uint32_t align) {
    const double scale = mapping.length_scale();
    const double run = advance * scale;
    const double cell = height * scale;
    const double along_from = (align & TA_CENTER) == TA_CENTER ? -run / 2
                              : (align & TA_RIGHT) != 0        ? -run
                                                               : 0.0;
    // Baseline text: a cell's ascent taken as four fifths of its height.
    const double across_from = (align & TA_BASELINE) == TA_BASELINE ? -cell * 0.8
                               : (align & TA_BOTTOM) != 0           ? -cell
                                                                    : 0.0;
    const double angle = escapement / 10.0 * std::numbers::pi / 180.0;
    // Device y grows downwards: the baseline direction and the direction towards the bottom
    // of the glyphs.
    const double along_x = std::cos(angle);
    const double along_y = -std::sin(angle);
    const double down_x = std::sin(angle);
    const double down_y = std::cos(angle);
    const double origin_x = mapping.x(reference.x);
    const double origin_y = mapping.y(reference.y);
    DeviceExtent extent;
    for (const double u : {along_from, along_from + run}) {
        for (const double v : {across_from, across_from + cell}) {
            extent.add(origin_x + u * along_x + v * down_x, origin_y + u * along_y + v * down_y);
        }
    }
    return extent;
}

}  // namespace emf
