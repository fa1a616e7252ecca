#include "platform/raster/canvas.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "platform/raster/bitmap.h"
#include "tests/platform/raster/png_check.h"

namespace {

namespace fs = std::filesystem;
using base::ErrorNumber;
using raster::Bitmap;
using raster::Canvas;

constexpr std::uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF,
                        black = 0x000000, yellow = 0xFFFF00, navy = 0x000080;

const fs::path data = VS_TEST_DATA_DIR;

std::vector<std::uint32_t> pixels(const Bitmap& bitmap) {
    std::vector<std::uint32_t> out;
    for (std::int32_t y = 0; y < bitmap.height; ++y) {
        for (std::int32_t x = 0; x < bitmap.width; ++x) out.push_back(bitmap.pixel(x, y));
    }
    return out;
}

int error_number(const std::function<void()>& action) {
    try {
        action();
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(bmp_file, reads_every_bit_depth_top_row_first) {
    const std::vector<std::uint32_t> pattern{red, green, blue, white, black, yellow};
    for (const char* name : {"pattern_4bit.bmp", "pattern_8bit.bmp", "pattern_24bit.bmp",
                             "pattern_32bit.bmp", "pattern_24bit_top_down.bmp"}) {
        const Bitmap bitmap = raster::load_bmp(data / name);
        EXPECT_EQ(bitmap.width, 3) << name;
        EXPECT_EQ(bitmap.height, 2) << name;
        EXPECT_EQ(pixels(bitmap), pattern) << name;
    }
    EXPECT_EQ(pixels(raster::load_bmp(data / "pattern_1bit.bmp")),
              (std::vector<std::uint32_t>{navy, yellow, navy, yellow, yellow, navy}));
}

TEST(bmp_file, refuses_missing_damaged_and_oversized_files_cleanly) {
    constexpr int invalid_picture = 481;
    EXPECT_EQ(error_number([] { raster::load_bmp(data / "no_such.bmp"); }),
              static_cast<int>(ErrorNumber::file_not_found));
    EXPECT_EQ(error_number([] { raster::load_bmp(data); }),
              static_cast<int>(ErrorNumber::file_not_found));
    EXPECT_EQ(error_number([] { raster::load_bmp(data / "rle8.bmp"); }), invalid_picture);
    // Pixel data cut short would otherwise read as black.
    EXPECT_EQ(error_number([] { raster::load_bmp(data / "truncated.bmp"); }), invalid_picture);
    EXPECT_EQ(error_number([] { raster::load_bmp(data / "huge.bmp"); }),
              static_cast<int>(ErrorNumber::out_of_memory));
    EXPECT_EQ(error_number([] { raster::load_bmp(data / "make_fixtures.py"); }), invalid_picture);
    EXPECT_EQ(error_number([] { raster::decode_bmp({}); }), invalid_picture);
    const std::vector<std::uint8_t> header_only{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    EXPECT_EQ(error_number([&] { raster::decode_bmp(header_only); }), invalid_picture);
}

TEST(raster_canvas, stretch_copy_scales_mirrors_and_clips) {
    const Bitmap pattern = raster::load_bmp(data / "pattern_24bit.bmp");
    Canvas canvas;
    canvas.resize(6, 4);
    canvas.stretch_copy(pattern, 0, 0, 6, 4);
    EXPECT_EQ(
        pixels(canvas.image()),
        (std::vector<std::uint32_t>{red,    red,    green, green, blue,  blue,  red,    red,
                                    green,  green,  blue,  blue,  white, white, black,  black,
                                    yellow, yellow, white, white, black, black, yellow, yellow}));

    // Half outside the canvas: only the visible corner changes, and it shows the source's
    // top-left pixel block.
    canvas.clear();
    canvas.stretch_copy(pattern, 4, 3, 6, 4);
    EXPECT_EQ(canvas.image().pixel(4, 3), red);
    EXPECT_EQ(canvas.image().pixel(5, 3), red);
    EXPECT_EQ(canvas.image().pixel(3, 3), white);
    EXPECT_EQ(canvas.image().pixel(5, 2), white);

    // A negative width mirrors; shrinking picks the pixel under each centre.
    canvas.clear();
    canvas.stretch_copy(pattern, 3, 0, -3, 2);
    EXPECT_EQ(canvas.image().pixel(0, 0), blue);
    EXPECT_EQ(canvas.image().pixel(2, 1), white);
    canvas.clear();
    canvas.stretch_copy(pattern, 0, 0, 1, 1);
    EXPECT_EQ(canvas.image().pixel(0, 0), black);  // the centre (1.5, 1) lies in row 1
    EXPECT_EQ(canvas.image().pixel(1, 0), white);
    canvas.stretch_copy(pattern, 0, 0, 0, 4);
    EXPECT_EQ(canvas.image().pixel(0, 1), white);
}

TEST(raster_canvas, saves_a_bmp_that_reads_back_and_refuses_impossible_sizes) {
    const fs::path folder = fs::temp_directory_path() / ("raster_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    Canvas canvas;
    EXPECT_EQ(error_number([&] { canvas.save_bmp(folder / "empty.bmp"); }),
              static_cast<int>(ErrorNumber::invalid_call));
    canvas.resize(5, 3);
    canvas.stretch_copy(raster::load_bmp(data / "pattern_8bit.bmp"), 1, 1, 3, 2);
    canvas.save_bmp(folder / "temp.bmp");
    const Bitmap saved = raster::load_bmp(folder / "temp.bmp");
    EXPECT_EQ(saved.width, 5);
    EXPECT_EQ(saved.rgb, canvas.image().rgb);

    EXPECT_NE(error_number([&] { canvas.save_bmp(folder / "missing" / "temp.bmp"); }), 0);
    EXPECT_FALSE(fs::exists(folder / "missing"));

    canvas.clear();
    EXPECT_EQ(canvas.width(), 5);
    EXPECT_EQ(pixels(canvas.image()), std::vector<std::uint32_t>(15, white));

    EXPECT_EQ(error_number([&] { canvas.resize(0, 5); }),
              static_cast<int>(ErrorNumber::invalid_call));
    EXPECT_EQ(error_number([&] { canvas.resize(raster::max_side + 1, 1); }),
              static_cast<int>(ErrorNumber::out_of_memory));
    EXPECT_EQ(error_number([&] { canvas.resize(10000, 10000); }),
              static_cast<int>(ErrorNumber::out_of_memory));
    EXPECT_EQ(canvas.width(), 5);  // a refused size leaves the canvas as it was
    fs::remove_all(folder);
}

TEST(raster_canvas, png_shows_only_what_was_copied_and_clear_forgets_it) {
    const Bitmap pattern = raster::load_bmp(data / "pattern_24bit.bmp");
    Canvas canvas;
    EXPECT_EQ(error_number([&] { canvas.encode_png(); }),
              static_cast<int>(ErrorNumber::invalid_call));
    canvas.resize(4, 3);
    // Clipped at the right edge: only the pixels on the canvas become opaque.
    canvas.stretch_copy(pattern, 2, 1, 3, 2);
    canvas.stretch_copy(pattern, 0, 0, 1, 1);
    const auto png = rastertest::decode_png(canvas.encode_png());
    EXPECT_EQ(png.width, 4);
    EXPECT_EQ(png.height, 3);
    constexpr std::uint32_t opaque = 0xFF000000;
    EXPECT_EQ(png.pixels, (std::vector<std::uint32_t>{opaque | black, 0, 0, 0,             //
                                                      0, 0, opaque | red, opaque | green,  //
                                                      0, 0, opaque | white, opaque | black}));

    Canvas same;
    same.resize(4, 3);
    same.stretch_copy(pattern, 2, 1, 3, 2);
    EXPECT_FALSE(same == canvas);
    same.stretch_copy(pattern, 0, 0, 1, 1);
    EXPECT_TRUE(same == canvas);

    // White is not transparent: a painted white pixel stays, a cleared one goes.
    canvas.clear();
    EXPECT_EQ(rastertest::decode_png(canvas.encode_png()).pixels,
              std::vector<std::uint32_t>(12, 0));
    EXPECT_FALSE(same == canvas);
}

}  // namespace
