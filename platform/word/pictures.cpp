#include "platform/word/pictures.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstdint>
#include <cstring>
#include <mutex>

#include "base/run_time_error.h"
#include "base/whole_file.h"

namespace word::detail {

namespace {

using base::ErrorNumber;
using base::RunTimeError;

std::uint32_t u32_at(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    }
    return v;
}

std::int32_t i32_at(const std::string& b, std::size_t at) {
    return static_cast<std::int32_t>(u32_at(b, at));
}

bool starts_with(const std::string& b, std::string_view magic) {
    return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
}

void append_bytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

constexpr float points_per_pixel = 72.0f / 96.0f;

// Pixel size through stb; false when stb cannot read the image.
bool pixel_size(const std::string& b, int& w, int& h) {
    int n = 0;
    return stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(b.data()),
                                 static_cast<int>(b.size()), &w, &h, &n) == 1;
}

[[noreturn]] void not_a_picture(const std::string& name) {
    throw RunTimeError(ErrorNumber::invalid_call, "not a picture file: " + name);
}

// A .bmp as Word embeds it: converted to PNG with its pixels kept, or as it is when it cannot
// be decoded.
Picture bitmap_picture(std::string bytes, const std::string& name) {
    Picture pic;
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &w, &h, &channels, 0);
    if (pixels != nullptr) {
        std::string png;
        const int ok =
            stbi_write_png_to_func(append_bytes, &png, w, h, channels, pixels, w * channels);
        stbi_image_free(pixels);
        if (ok == 0) not_a_picture(name);
        pic.bytes = std::move(png);
        pic.extension = "png";
        pic.content_type = "image/png";
    } else if (bytes.size() >= 26) {
        // A bitmap stb cannot decode (e.g. run-length coded) is embedded as it is.
        w = i32_at(bytes, 18);
        h = i32_at(bytes, 22);
        if (w <= 0 || h == 0) not_a_picture(name);
        h = h < 0 ? -h : h;
        pic.bytes = std::move(bytes);
        pic.extension = "bmp";
        pic.content_type = "image/bmp";
    } else {
        not_a_picture(name);
    }
    pic.natural_width = static_cast<float>(w) * points_per_pixel;
    pic.natural_height = static_cast<float>(h) * points_per_pixel;
    return pic;
}

}  // namespace

/* ---------------------------------------------------------------- picture_from_bytes */
Picture picture_from_bytes(std::string bytes, const std::string& name) {
    Picture pic;
    // Enhanced metafile: the header record's frame gives the size, in 0.01 mm.
    if (bytes.size() >= 88 && u32_at(bytes, 0) == 1 && u32_at(bytes, 40) == 0x464D4520) {
        const std::int32_t width = i32_at(bytes, 32) - i32_at(bytes, 24);
        const std::int32_t height = i32_at(bytes, 36) - i32_at(bytes, 28);
        pic.natural_width = static_cast<float>(width) * 72.0f / 2540.0f;
        pic.natural_height = static_cast<float>(height) * 72.0f / 2540.0f;
        pic.extension = "emf";
        pic.content_type = "image/x-emf";
        pic.bytes = std::move(bytes);
        return pic;
    }
    if (starts_with(bytes, "BM")) {
        // A report repeats its bitmaps (the logo on many pages): the last conversion is kept,
        // and the same bitmap again costs a comparison instead of an encoding.
        static std::mutex last_mutex;
        static std::string last_bitmap;
        static Picture last_picture;
        {
            const std::lock_guard lock(last_mutex);
            if (!last_bitmap.empty() && bytes == last_bitmap) return last_picture;
        }
        std::string bitmap = bytes;
        Picture converted = bitmap_picture(std::move(bytes), name);
        const std::lock_guard lock(last_mutex);
        last_bitmap = std::move(bitmap);
        last_picture = converted;
        return converted;
    }
    const bool png = starts_with(bytes, "\x89PNG\r\n\x1a\n");
    const bool jpeg = starts_with(bytes, "\xFF\xD8\xFF");
    int w = 0;
    int h = 0;
    if (!(png || jpeg) || !pixel_size(bytes, w, h)) not_a_picture(name);
    pic.natural_width = static_cast<float>(w) * points_per_pixel;
    pic.natural_height = static_cast<float>(h) * points_per_pixel;
    pic.extension = png ? "png" : "jpeg";
    pic.content_type = png ? "image/png" : "image/jpeg";
    pic.bytes = std::move(bytes);
    return pic;
}

/* ---------------------------------------------------------------- load_picture */
std::shared_ptr<const Picture> load_picture(const std::filesystem::path& file) {
    return std::make_shared<const Picture>(
        picture_from_bytes(base::load_file(file), file.string()));
}

}  // namespace word::detail
