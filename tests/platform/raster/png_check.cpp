#include "tests/platform/raster/png_check.h"

#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace rastertest {

DecodedPng decode_png(std::span<const std::uint8_t> bytes) {
    DecodedPng png;
    int channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                             &png.width, &png.height, &channels, 4);
    if (decoded == nullptr) return {};
    for (int i = 0; i < png.width * png.height; ++i) {
        const stbi_uc* p = decoded + i * 4;
        png.pixels.push_back(p[3] == 0 ? 0
                                       : std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                                             std::uint32_t{p[1]} << 8 | p[2]);
    }
    stbi_image_free(decoded);
    return png;
}

}  // namespace rastertest
