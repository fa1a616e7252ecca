#include "graphics/primitives.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/run_time_error.h"
#include "platform/emf/emf_records.h"
#include "tests/graphics/block_fixture.h"

namespace {

using namespace emf;
using emf::records::EMR_ARC;
using emf::records::EMR_CREATEBRUSHINDIRECT;
using emf::records::EMR_CREATEPEN;
using emf::records::EMR_EXTCREATEFONTINDIRECTW;
using emf::records::EMR_EXTTEXTOUTW;
using emf::records::EMR_LINETO;
using graphics_test::BlockTest;

using line_pens = BlockTest;
using draw_arc = BlockTest;
using polygons = BlockTest;
using sorbel_text = BlockTest;
using varnel_text = BlockTest;

int error_number(const std::function<void()>& action) {
    try {
        action();
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

std::vector<emftest::Drawing> of_type(const emftest::Metafile& m, std::uint32_t type) {
    std::vector<emftest::Drawing> out;
    for (const auto& d : m.drawings) {
        if (d.type == type) out.push_back(d);
    }
    return out;
}

TEST_F(line_pens, pens_change_only_with_kind_width_or_colour_and_follow_the_kind) {
    // Right after the block opens, kind 0 width 2 is the block's own pen: nothing is made.
    graphics::DrawLine(context_, 0, 0, 1000, 0, 0, 2);
    EXPECT_EQ(context_.gdi.object_count(), 1u);
    struct Expected {
        std::int16_t kind;
        std::uint32_t style;
        std::int32_t width;
    };
    // Width 3 is ignored by the styled kinds; kind 7 (unknown) is solid in width x 10.
    const std::vector<Expected> table{{1, PS_DOT, 0},        {2, PS_DASH, 0}, {3, PS_DASHDOT, 0},
                                      {4, PS_DASHDOTDOT, 0}, {5, PS_NULL, 0}, {7, PS_SOLID, 30},
                                      {0, PS_SOLID, 30}};
    for (const Expected& e : table) {
        graphics::DrawLine(context_, 0, 0, 1000, -1000, e.kind, 3);
        graphics::DrawArc(context_, 0, 0, 1000, -1000, 0, 90, e.kind, 3);
    }
    EXPECT_EQ(context_.gdi.object_count(), 1u);  // never more than the pen in use
    // The product width x 10 must fit 16 bits where a kind uses it.
    EXPECT_EQ(error_number([&] { graphics::DrawLine(context_, 0, 0, 1, 1, 0, 3277); }),
              static_cast<int>(base::ErrorNumber::overflow));
    EXPECT_EQ(error_number([&] { graphics::DrawLine(context_, 0, 0, 1, 1, 1, 5000); }), 0);
    const emftest::Metafile m = finish();
    const auto lines = of_type(m, EMR_LINETO);
    const auto arcs = of_type(m, EMR_ARC);
    ASSERT_EQ(arcs.size(), table.size());
    EXPECT_EQ(lines[0].pen.width, 20);
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(table[i].kind);
        for (const auto* d : {&lines[i + 1], &arcs[i]}) {
            EXPECT_EQ(d->pen.style, table[i].style);
            EXPECT_EQ(d->pen.width, table[i].width);
        }
    }
    // The block pen, one per kind (a line and an arc share it), and the last dotted one.
    EXPECT_EQ(m.count(EMR_CREATEPEN), 1 + table.size() + 1);
}

TEST_F(draw_arc, radial_points_turn_counter_clockwise_on_the_page) {
    // A CIRCLE at (100, 100) with radii 50 and 30 (tenths of a mm) from 0 to 90 degrees.
    graphics::DrawArc(context_, 500, -700, 1500, -1300, 0, 90, 0, 2);
    // Coordinates are rounded to whole units, halves to even.
    graphics::DrawLine(context_, 0.5, 1.5, 2.5, -2.5, 0, 2);
    EXPECT_EQ(error_number([&] { graphics::DrawLine(context_, 3e9, 0, 0, 0, 0, 2); }),
              static_cast<int>(base::ErrorNumber::overflow));
    const emftest::Metafile m = finish();
    const auto arcs = of_type(m, EMR_ARC);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].points,
              (std::vector<POINTL>{{500, -700}, {1500, -1300}, {1500, -1000}, {1000, -700}}));
    const auto lines = of_type(m, EMR_LINETO);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<POINTL>{{0, 2}, {2, -2}}));
}

TEST_F(polygons, outline_takes_the_line_colour_and_fill_follows_the_kind) {
    const std::vector<POINTL> points{{0, 0}, {1000, 0}, {1000, -1000}, {0, -1000}};
    const std::int32_t red = 0x0000FF;
    const std::int32_t green = 0x00FF00;
    // Right after the block opens: a new pen, since the block pen is black.
    graphics::DrawPolygon(context_, points, 4, 1, 0, 2, red, green);
    for (std::int16_t kind = 2; kind <= 7; ++kind) {
        graphics::DrawPolygon(context_, points, 4, kind, 0, 2, red, green);
    }
    // No brush of its own: the surface's white one; and only the first n points.
    graphics::DrawPolygon(context_, points, 3, 0, 0, 2, red, green);
    graphics::DrawPolygon(context_, points, 4, 8, 0, 2, red, green);
    EXPECT_EQ(context_.gdi.object_count(), 1u);
    EXPECT_EQ(
        error_number([&] { graphics::DrawPolygon(context_, points, 5, 1, 0, 2, red, green); }),
        static_cast<int>(base::ErrorNumber::subscript_out_of_range));
    const emftest::Metafile m = finish();
    ASSERT_EQ(m.drawings.size(), 9u);
    EXPECT_EQ(m.count(EMR_CREATEPEN), 2u);
    EXPECT_EQ(m.count(EMR_CREATEBRUSHINDIRECT), 7u);
    for (const auto& d : m.drawings) {
        EXPECT_EQ(d.pen.colour, RGB(255, 0, 0));
        EXPECT_EQ(d.pen.width, 20);
    }
    EXPECT_EQ(m.drawings[0].brush.style, BS_SOLID);
    EXPECT_EQ(m.drawings[0].brush.colour, RGB(0, 255, 0));
    for (std::uint32_t hatch = 0; hatch <= 5; ++hatch) {
        EXPECT_EQ(m.drawings[1 + hatch].brush.style, BS_HATCHED);
        EXPECT_EQ(m.drawings[1 + hatch].brush.hatch, hatch);
    }
    EXPECT_TRUE(m.drawings[7].brush.stock);
    EXPECT_EQ(m.drawings[7].points.size(), 3u);
    EXPECT_TRUE(m.drawings[8].brush.stock);
}

TEST_F(sorbel_text, characters_advance_half_the_height_per_byte_rounded_step_by_step) {
    // Half-width, full-width ("漢"), half-width.
    graphics::sorbel::DrawLabelText(context_,
                                    "A\x8a\xbf"
                                    "B",
                                    1000, -2000, 400, 0);
    // An odd height: every position is rounded before the next step (1052.5 -> 1052,
    // then 1104.5 -> 1104), not computed from the start (which would give 1105).
    graphics::sorbel::DrawLabelText(context_, "abc", 1000, -3000, 105, 0);
    graphics::sorbel::DrawLabelText(context_, "ab", 1000, -4000, 400, 90);
    graphics::sorbel::DrawLabelText(context_, "", 1000, -4000, 400, 0);
    EXPECT_EQ(context_.gdi.object_count(), 1u);
    const emftest::Metafile m = finish();
    const auto texts = of_type(m, EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 8u);
    std::vector<POINTL> at;
    for (const auto& t : texts) at.push_back(t.points[0]);
    EXPECT_EQ(at, (std::vector<POINTL>{{1000, -2000},
                                       {1200, -2000},
                                       {1600, -2000},
                                       {1000, -3000},
                                       {1052, -3000},
                                       {1104, -3000},
                                       {1000, -4000},
                                       {1000, -3800}}));
    EXPECT_EQ(texts[1].text, u"漢");
    const emftest::Font& font = texts[0].font;
    EXPECT_EQ(font.face, u"ＭＳ 明朝");
    EXPECT_EQ(font.height, 400);
    EXPECT_EQ(font.charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(font.out_precision, OUT_CHARACTER_PRECIS);
    EXPECT_EQ(font.clip_precision, CLIP_CHARACTER_PRECIS);
    EXPECT_EQ(font.pitch_and_family, FIXED_PITCH);
    EXPECT_EQ(texts[6].font.escapement, 900);
    EXPECT_EQ(texts[0].text_align, TA_BOTTOM);
    EXPECT_EQ(texts[0].bk_mode, static_cast<std::uint32_t>(TRANSPARENT));
    // One font per call, the empty text's included, each deleted again.
    EXPECT_EQ(m.count(EMR_EXTCREATEFONTINDIRECTW), 4u);
}

TEST_F(varnel_text, size_codes_draw_half_size_characters_at_full_advance) {
    graphics::varnel::DrawLabelText(context_, "$Uab$Zc", 1000, -2000, 400, 0);
    graphics::varnel::DrawLabelText(context_, "$Sx", 1000, -3000, 400, 0);
    graphics::varnel::DrawLabelText(context_, "", 1000, -4000, 400, 0);
    // Turned a quarter: the cell offset and the advance turn with it ("日" has two bytes).
    graphics::varnel::DrawLabelText(context_,
                                    "\x93\xfa"
                                    "1",
                                    1000, -5000, 400, 90);
    EXPECT_EQ(context_.gdi.object_count(), 1u);
    const emftest::Metafile m = finish();
    const auto texts = of_type(m, EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[4].points[0], (POINTL{600, -5000}));
    EXPECT_EQ(texts[5].points[0], (POINTL{600, -4600}));
    EXPECT_EQ(texts[4].font.escapement, 900);
    // The reference point is the cell's top-left corner, one full height above y.
    EXPECT_EQ(texts[0].text, u"a");
    EXPECT_EQ(texts[0].points[0], (POINTL{1000, -1600}));
    EXPECT_EQ(texts[0].font.height, 200);
    EXPECT_EQ(texts[1].points[0], (POINTL{1200, -1600}));
    EXPECT_EQ(texts[1].font.height, 200);
    EXPECT_EQ(texts[2].text, u"c");
    EXPECT_EQ(texts[2].points[0], (POINTL{1400, -1600}));
    EXPECT_EQ(texts[2].font.height, 400);
    // "$S": half size standing on the bottom of the cell.
    EXPECT_EQ(texts[3].points[0], (POINTL{1000, -2800}));
    EXPECT_EQ(texts[3].font.height, 200);
    EXPECT_EQ(texts[0].text_align, TA_TOP | TA_LEFT);
    EXPECT_EQ(texts[0].font.out_precision, OUT_DEFAULT_PRECIS);
    EXPECT_EQ(texts[0].font.pitch_and_family, DEFAULT_PITCH);
}

TEST(graphics_without_block, drawing_between_blocks_does_nothing_and_keeps_no_pen) {
    graphics::DrawingContext context;
    graphics::DrawLine(context, 0, 0, 1, 1, 3, 1);
    graphics::DrawPolygon(context, std::vector<POINTL>{{0, 0}, {1, 1}}, 2, 1, 1, 1, 0, 0);
    graphics::sorbel::DrawLabelText(context, "a", 0, 0, 100, 0);
    graphics::varnel::DrawLabelText(context, "a", 0, 0, 100, 0);
    EXPECT_EQ(context.gdi.object_count(), 0u);
}

}  // namespace
