// One block of every kind of figure, rendered by LibreOffice: the metafile must open there
// and show its text. The page image is left in the build folder for a look by eye.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "graphics/block_metafile.h"
#include "graphics/primitives.h"
#include "tests/graphics/block_fixture.h"

namespace {

using emf::POINTL;

TEST(emf_render, libreoffice_shows_a_block_drawn_with_every_primitive) {
    if (std::system("command -v soffice >/dev/null && command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "LibreOffice or poppler is not installed";
    }
    const std::filesystem::path out = std::filesystem::path(VS_PROGRAM_DIR) / ".." / "render";
    std::filesystem::create_directories(out);
    const std::filesystem::path file = out / "sample.emf";
    graphics::DrawingContext context;
    context.Font_Name = graphics_test::mincho;
    graphics::BlockMetafile block(context, file, 18000, 9000);
    block.mark_drawn();
    // Text with size codes ("m" and a raised "2"), turned text, then "月次売上報告" the other
    // program's way (which leaves the surface aligned to the bottom, so it comes last).
    graphics::varnel::DrawLabelText(context, "\x96\xca\x90\xcf m$U2$Z", 500, -2200, 423, 0);
    graphics::varnel::DrawLabelText(context, "\x89\xf1\x93\x5d", 6000, -2500, 423, 30);
    graphics::sorbel::DrawLabelText(context, "\x8c\x8e\x8e\x9f\x94\x84\x8f\xe3\x95\xf1\x8d\x90",
                                    500, -1000, 423, 0);
    for (std::int16_t kind = 0; kind <= 7; ++kind) {
        const double y = -3000.0 - kind * 400;
        graphics::DrawLine(context, 500, y, 5000, y, kind, 3);
    }
    graphics::DrawArc(context, 9000, -1000, 11000, -3000, 0, 360, 0, 2);
    graphics::DrawArc(context, 9000, -4000, 11000, -6000, 0, 90, 2, 2);
    const std::vector<POINTL> triangle{{12000, -1000}, {15000, -1000}, {13500, -3500}};
    graphics::DrawPolygon(context, triangle, 3, 1, 0, 2, 0x0000FF, 0x00FFFF);
    const std::vector<POINTL> square{
        {12000, -4500}, {14000, -4500}, {14000, -6500}, {12000, -6500}};
    graphics::DrawPolygon(context, square, 4, 7, 1, 0, 0, 0xFF0000);
    block.finish();
    EXPECT_EQ(context.gdi.object_count(), 0u);
    emftest::load_checked(file);

    const std::string command = "/usr/bin/python3 " VS_SOURCE_DIR
                                "/tests/graphics/render_check.py " +
                                file.string() + " 180 90 " + out.string() + " 月次売上報告 面積";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
