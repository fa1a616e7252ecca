// A drawing canvas that stands in for a picture box: sized in pixels, bitmaps stretch-copied
// onto it, saved as a .bmp file (opaque, for a picture behind text) or as a .png file in which
// only what was copied is opaque (for a picture lying over a sheet's cells), cleared for the
// next use.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/raster/bitmap.h"

namespace raster {

class Canvas {
  public:
    // 0 x 0 until sized.
    std::int32_t width() const noexcept { return image_.width; }
    std::int32_t height() const noexcept { return image_.height; }
    const Bitmap& image() const noexcept { return image_; }

    // A new white picture of this size. base::RunTimeError: invalid call (5) for a side
    // below 1, out of memory (7) beyond the limits of bitmap.h.
    void resize(std::int32_t width, std::int32_t height);

    // StretchBlt with SRCCOPY: the whole of `source` onto the rectangle at (x, y) of the given
    // size, nearest pixel, mirrored for a negative width or height, clipped to the canvas.
    void stretch_copy(const Bitmap& source, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height);

    // White and unpainted again; the size stays.
    void clear();

    // Same size, same pixels and the same pixels painted by stretch_copy.
    bool operator==(const Canvas& other) const = default;

    // The canvas as a 24-bit .bmp file; invalid call (5) while it has no size.
    std::vector<std::uint8_t> encode_bmp() const;
    // encode_bmp, written to a temporary name and renamed, so the file is whole or absent.
    void save_bmp(const std::filesystem::path& file) const;

    // The canvas as a 32-bit .png file: the pixels stretch_copy painted are opaque, the rest
    // fully transparent. Invalid call (5) while it has no size.
    std::vector<std::uint8_t> encode_png() const;

  private:
    Bitmap image_;
    // Alpha of each pixel in the .png: 0xFF where a bitmap was copied, 0 elsewhere.
    std::vector<std::uint8_t> painted_;
};

}  // namespace raster
