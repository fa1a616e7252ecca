// Reading a .png back with a decoder we did not write, for the tests of what saves one.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rastertest {

struct DecodedPng {
    int width = 0;  // 0 when the bytes are no .png
    int height = 0;
    // 0xAARRGGBB, rows top to bottom; 0 for every fully transparent pixel, whatever its colour.
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

DecodedPng decode_png(std::span<const std::uint8_t> bytes);

}  // namespace rastertest
