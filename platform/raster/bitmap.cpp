#include "platform/raster/bitmap.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

#include "base/run_time_error.h"

// The decoder is compiled here for Windows bitmaps only; nothing else is a picture we load.
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace raster {

namespace {

constexpr int invalid_picture = 481;

[[noreturn]] void invalid(const std::string& context) {
    throw base::RunTimeError(invalid_picture, "ピクチャが不正です。", context);
}

[[noreturn]] void too_large(const std::string& context) {
    throw base::RunTimeError(base::ErrorNumber::out_of_memory, context);
}

std::uint32_t little_endian(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{bytes[at + i]} << (8 * i);
    return value;
}

// stb reads pixel data missing at the end of a file as black; a file cut short is refused
// here instead, before any pixel memory is taken.
void require_whole_pixel_data(std::span<const std::uint8_t> bytes, int width, int height) {
    constexpr std::size_t core_header_end = 14 + 12;
    constexpr std::size_t info_header_end = 14 + 40;
    if (bytes.size() < core_header_end) invalid("bitmap header cut short");
    const std::uint32_t offset = little_endian(bytes, 10, 4);
    const bool core = little_endian(bytes, 14, 4) == 12;
    if (!core && bytes.size() < info_header_end) invalid("bitmap header cut short");
    const std::uint32_t bits = little_endian(bytes, core ? 24 : 28, 2);
    const std::uint32_t compression = core ? 0 : little_endian(bytes, 30, 4);
    constexpr std::uint32_t uncompressed = 0;
    constexpr std::uint32_t bit_fields = 3;
    if (compression != uncompressed && compression != bit_fields) return;
    const std::uint64_t stride =
        (std::uint64_t{static_cast<std::uint32_t>(width)} * bits + 31) / 32 * 4;
    if (bytes.size() < offset + stride * static_cast<std::uint32_t>(height)) {
        invalid("bitmap pixel data cut short");
    }
}

struct StbFree {
    void operator()(stbi_uc* pixels) const noexcept { stbi_image_free(pixels); }
};

}  // namespace

/* ---------------------------------------------------------------- Bitmap::pixel */
std::uint32_t Bitmap::pixel(std::int32_t x, std::int32_t y) const {
    const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)) *
                    3;
    return (std::uint32_t{rgb.at(at)} << 16) | (std::uint32_t{rgb.at(at + 1)} << 8) |
           rgb.at(at + 2);
}

/* ---------------------------------------------------------------- decode_bmp */
Bitmap decode_bmp(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        too_large("bitmap of " + std::to_string(bytes.size()) + " bytes");
    }
    const int length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    // The size is checked before any pixel memory is taken.
    if (stbi_info_from_memory(bytes.data(), length, &width, &height, &channels) == 0) {
        invalid(std::string("bitmap: ") + stbi_failure_reason());
    }
    // A top-down bitmap reports a negative height here.
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    if (width > max_side || rows > max_side || std::int64_t{width} * rows > max_pixels) {
        too_large("bitmap of " + std::to_string(width) + " x " + std::to_string(rows));
    }
    if (width <= 0 || rows == 0) invalid("bitmap without pixels");
    height = static_cast<int>(rows);
    require_whole_pixel_data(bytes, width, height);
    std::unique_ptr<stbi_uc, StbFree> pixels(
        stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 3));
    if (!pixels || width <= 0 || height <= 0) {
        invalid(std::string("bitmap: ") + stbi_failure_reason());
    }
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    const auto size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    bitmap.rgb.assign(pixels.get(), pixels.get() + size);
    return bitmap;
}

/* ---------------------------------------------------------------- load_bmp */
Bitmap load_bmp(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) throw base::RunTimeError(base::ErrorNumber::file_not_found, file.string());
    // Header and pixels of the largest picture we accept, with room for padding and palette.
    if (size > static_cast<std::uintmax_t>(max_pixels) * 4 + (1u << 20)) {
        too_large("bitmap file " + file.string() + " of " + std::to_string(size) + " bytes");
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        throw base::RunTimeError(base::ErrorNumber::device_io, file.string());
    }
    try {
        return decode_bmp(bytes);
    } catch (const base::RunTimeError& e) {
        throw base::RunTimeError(e.number(), e.description(), file.string() + ": " + e.context());
    }
}

}  // namespace raster
