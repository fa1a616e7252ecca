#include "graphics/bitmap_drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/primitives.h"
#include "platform/emf/emf_records.h"
#include "tests/graphics/block_fixture.h"

namespace {

using graphics::BitmapMessage;
using graphics_test::BlockTest;

using draw_bitmap = BlockTest;

constexpr std::uint32_t white = 0xFFFFFF;

// A 4 x 2 picture: its top-left pixel red, everything else blue.
void write_picture(const std::filesystem::path& file) {
    raster::Canvas picture;
    picture.resize(4, 2);
    raster::Bitmap blue;
    blue.width = 1;
    blue.height = 1;
    blue.rgb = {0, 0, 255};
    picture.stretch_copy(blue, 0, 0, 4, 2);
    raster::Bitmap red = blue;
    red.rgb = {255, 0, 0};
    picture.stretch_copy(red, 0, 0, 1, 1);
    picture.save_bmp(file);
}

TEST_F(draw_bitmap, first_picture_sets_the_density_and_later_ones_stretch_to_it) {
    std::filesystem::create_directory(folder_ / "pics");
    write_picture(folder_ / "pics" / "logo.bmp");
    graphics::BitmapCanvas canvas;
    canvas.picture_folder = folder_;
    // 4 x 2 pixels on 20 x 10 tenths of a mm at (40, 20) of a block of 100 x 50: the canvas
    // gets 20 x 10 pixels and the picture lands at (8, 4) in its own size.
    EXPECT_EQ(graphics::DrawBitmap(canvas, 400, -200, 200, 100, 0, 0, "pics\\logo.bmp", 100, 50),
              BitmapMessage::none);
    EXPECT_TRUE(canvas.Bitmap_Drawn);
    const raster::Bitmap& image = canvas.Pic2.image();
    EXPECT_EQ(image.width, 20);
    EXPECT_EQ(image.height, 10);
    EXPECT_EQ(image.pixel(8, 4), 0xFF0000u);
    EXPECT_EQ(image.pixel(9, 4), 0x0000FFu);
    EXPECT_EQ(image.pixel(11, 5), 0x0000FFu);
    EXPECT_EQ(image.pixel(12, 5), white);
    EXPECT_EQ(image.pixel(7, 4), white);

    // The second picture, twice as large on the page, keeps the canvas and is stretched.
    const std::string absolute = (folder_ / "pics" / "logo.bmp").string();
    EXPECT_EQ(graphics::DrawBitmap(canvas, 0, 0, 400, 200, 0, 0, absolute, 100, 50),
              BitmapMessage::none);
    EXPECT_EQ(canvas.Pic2.width(), 20);
    EXPECT_EQ(image.pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(image.pixel(2, 1), 0x0000FFu);
}

TEST_F(draw_bitmap, windows_paths_fall_back_to_the_job_folder_regardless_of_case) {
    write_picture(folder_ / "Logo.BMP");
    graphics::BitmapCanvas canvas;
    canvas.picture_folder = folder_;
    for (const char* name : {"C:\\PELLORA\\logo.bmp", "\\\\host\\share\\LOGO.bmp", "logo.bmp"}) {
        EXPECT_EQ(graphics::DrawBitmap(canvas, 0, 0, 200, 100, 0, 0, name, 100, 50),
                  BitmapMessage::none)
            << name;
    }
    EXPECT_EQ(graphics::DrawBitmap(canvas, 0, 0, 200, 100, 0, 0, "C:\\PELLORA\\logo2.bmp", 100, 50),
              BitmapMessage::missing_or_too_large);
}

TEST_F(draw_bitmap, failures_give_one_message_each_and_the_block_goes_on) {
    write_picture(folder_ / "logo.bmp");
    graphics::BitmapCanvas canvas;
    canvas.picture_folder = folder_;
    std::vector<BitmapMessage> messages;
    const auto draw = [&](double w, const char* name) {
        const BitmapMessage message =
            graphics::DrawBitmap(canvas, 0, 0, w, 100, 0, 0, name, 100, 50);
        if (message != BitmapMessage::none) messages.push_back(message);
    };
    graphics::DrawLine(context_, 0, 0, 1000, 0, 0, 2);
    draw(200, "missing.bmp");
    graphics::DrawLine(context_, 0, -100, 1000, -100, 0, 2);
    // Drawn far too small: the canvas for the whole block would be enormous; a zero width
    // makes no ratio at all.
    draw(0.001, "logo.bmp");
    draw(0, "logo.bmp");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], BitmapMessage::missing_or_too_large);
    EXPECT_EQ(messages[1], BitmapMessage::too_large_or_ratio_too_small);
    EXPECT_EQ(messages[2], BitmapMessage::too_large_or_ratio_too_small);
    EXPECT_FALSE(canvas.Bitmap_Drawn);
    EXPECT_EQ(graphics::BitmapMessageText(messages[0]),
              "BMPファイルが無いか大きい為処理を継続できません");
    EXPECT_EQ(graphics::BitmapMessageText(messages[1]),
              "BMPファイルが大きいか縮尺率が小さい為処理が継続できません");
    EXPECT_EQ(finish().count(emf::records::EMR_LINETO), 2u);
}

}  // namespace
