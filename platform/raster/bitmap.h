// Windows bitmap (.bmp) files as pixels: what a picture box holds after loading one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace raster {

// The largest picture we hold, loaded or drawn: 20000 pixels a side and 32 M pixels in all
// (96 MB of colour), far beyond any report figure.
inline constexpr std::int32_t max_side = 20000;
inline constexpr std::int64_t max_pixels = std::int64_t{1} << 25;

// 24-bit colour, rows top to bottom, 3 bytes (red, green, blue) per pixel.
struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;

    // 0xRRGGBB of the pixel at (x, y), counted from the top-left corner.
    std::uint32_t pixel(std::int32_t x, std::int32_t y) const;

    bool operator==(const Bitmap& other) const = default;
};

// Decodes a .bmp of 1, 4, 8, 16, 24 or 32 bits per pixel, bottom-up or top-down.
// base::RunTimeError: "invalid picture" (481) for anything else or a damaged file,
// out of memory (7) beyond the size limits.
Bitmap decode_bmp(std::span<const std::uint8_t> bytes);

// decode_bmp of a file; a missing file is "file not found" (53), an unreadable one a device
// I/O error (57).
Bitmap load_bmp(const std::filesystem::path& file);

}  // namespace raster
