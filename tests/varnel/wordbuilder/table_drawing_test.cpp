// Ruled tables drawn into metafiles: the drawings read back with the metafile checker, the
// placed pictures with python-docx, the page rendered by LibreOffice.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/cp932.h"
#include "platform/emf/emf_records.h"
#include "table_checks.h"
#include "tests/platform/emf/metafile_check.h"

namespace {

using namespace wordbuilder::tables;
using wordbuilder::WordRunOutcome;

double points(double millimetres) {
    return millimetres * 72 / 25.4;
}

struct Line {
    emf::POINTL from, to;
    std::uint32_t pen_style;
    std::int32_t pen_width;
    bool operator==(const Line&) const = default;
};

std::vector<Line> lines_of(const emftest::Metafile& m) {
    std::vector<Line> lines;
    for (const auto& d : m.drawings) {
        if (d.type == emf::records::EMR_LINETO) {
            lines.push_back({d.points.at(0), d.points.at(1), d.pen.style, d.pen.width});
        }
    }
    return lines;
}

// The reference point of the first text drawing that begins `utf8` (texts may be drawn a
// character or a run at a time).
std::optional<emf::POINTL> text_at(const emftest::Metafile& m, const std::string& utf8) {
    const std::u16string wanted = cp932::to_utf16(cp932::from_utf8(utf8));
    for (const auto& d : m.drawings) {
        if (d.type == emf::records::EMR_EXTTEXTOUTW && !d.text.empty() &&
            wanted.starts_with(d.text)) {
            return d.points.at(0);
        }
    }
    return std::nullopt;
}

// drawn_tables.PRN_CHAR: block 7 (200, 300)-(1900, 700) holds a title line and a 2 x 3 table
// from grid line 1, 100 to the right of the block's edge, rows 60 apart, cells 100 wide;
// block 8 (300, 700)-(1900, 800) a table of one row. The character height cs is 37.04.
class table_drawing : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<wordbuilder::testing::TempFolder>(unique_name("drawing"));
        conversion_ =
            std::make_unique<Conversion>(convert(folder_->path(), fixture("drawn_tables.PRN_CHAR"),
                                                 fixture("drawn_tables.PRN_PICT"), false));
    }
    static void TearDownTestSuite() {
        conversion_.reset();
        folder_.reset();
    }
    void SetUp() override { ASSERT_EQ(conversion_->outcome, WordRunOutcome::completed); }
    static emftest::Metafile table(int block) {
        return emftest::load_checked(folder_->path() / "META_FILE" /
                                     ("MT" + std::to_string(block) + ".emf"));
    }

    static std::unique_ptr<wordbuilder::testing::TempFolder> folder_;
    static std::unique_ptr<Conversion> conversion_;
};

std::unique_ptr<wordbuilder::testing::TempFolder> table_drawing::folder_;
std::unique_ptr<Conversion> table_drawing::conversion_;

TEST_F(table_drawing, joined_cells_draw_nothing_and_take_no_width) {
    const emftest::Metafile m = table(7);
    EXPECT_EQ(m.frame.right, 17000);
    EXPECT_EQ(m.frame.bottom, 4000);
    // Row 1 lies between grid line 1 and 60 below it, centred text at cs / 2 above the middle.
    EXPECT_EQ(text_at(m, "左"), (emf::POINTL{1000, -486}));
    // "左", "@", "右寄" right-aligned in 100 from x = 200: the "@" cell did not advance.
    EXPECT_EQ(text_at(m, "右寄"), (emf::POINTL{2259, -486}));
    const std::vector<Line> lines = lines_of(m);
    const auto in_row_1 = [](const Line& l) { return l.from.y >= -970 && l.to.y >= -970; };
    // The row's right edge is that of its third cell, at 300.
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), Line{{3000, -970}, {3000, -370}, emf::PS_DASH, 0}),
        lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const Line& l) { return in_row_1(l) && l.to.x > 3000; }),
              0);
}

TEST_F(table_drawing, ruling_characters_choose_the_line_kind) {
    const std::vector<Line> lines = lines_of(table(7));
    // "110000": both diagonals, "1" + 1 = line kind 2, a dashed line one pixel wide.
    const Line down{{2000, -4000}, {1000, -3400}, emf::PS_DASH, 0};
    const Line up{{1000, -4000}, {2000, -3400}, emf::PS_DASH, 0};
    EXPECT_NE(std::find(lines.begin(), lines.end(), down), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), up), lines.end());
    // "0011": the missing right and top characters count as "0" + 1, dotted.
    const Line right{{4000, -4000}, {4000, -3400}, emf::PS_DOT, 0};
    const Line top{{3000, -3400}, {4000, -3400}, emf::PS_DOT, 0};
    EXPECT_NE(std::find(lines.begin(), lines.end(), right), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), top), lines.end());
    // An unknown alignment kind leaves the text where the previous text began.
    const emftest::Metafile m = table(7);
    EXPECT_EQ(text_at(m, "中")->x, text_at(m, "2")->x);
}

TEST_F(table_drawing, the_last_row_ends_on_the_block_bottom) {
    // Row 2 of block 7 would end at 37.04 + 120; it ends at the block's height 400.
    const std::vector<Line> lines = lines_of(table(7));
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), Line{{2000, -4000}, {3000, -4000}, emf::PS_DASH, 0}),
        lines.end());
    // A table of one row from grid line 0: its 60 high row stands on the block's bottom.
    const std::vector<Line> single = lines_of(table(8));
    ASSERT_EQ(single.size(), 4u);
    EXPECT_EQ(single[1], (Line{{500, -1000}, {3500, -1000}, emf::PS_DASH, 0}));
    EXPECT_EQ(single[3], (Line{{500, -400}, {3500, -400}, emf::PS_DASH, 0}));
}

TEST_F(table_drawing, pictures_cover_their_blocks_and_rows_keep_their_height) {
    const DocumentDump dump = dump_document(conversion_->document);
    // The title line, one paragraph per row at the row pitch (6 mm), then the grid's line
    // spacing again; the text below the table is not written.
    const std::vector<std::string> body = {"P|10.50|表題", "P|17.00|", "P|17.00|", "P|17.00|",
                                           "P|10.50|"};
    EXPECT_EQ(dump.body, body);
    ASSERT_EQ(dump.anchors.size(), 2u);
    const std::vector<std::string> block_7 = {
        "A", "page", "56.69", "page", "85.04", "1", "481.89", "113.39", "/word/media/image1.emf"};
    EXPECT_EQ(dump.anchors[0], block_7);
    EXPECT_NEAR(std::stod(dump.anchors[1][2]), points(30), 0.01);
    EXPECT_NEAR(std::stod(dump.anchors[1][4]), points(70), 0.01);
}

TEST_F(table_drawing, rendered_texts_land_in_their_cells) {
    const auto words = render_first_page(conversion_->document, folder_->path() / "render");
    ASSERT_FALSE(words.empty()) << "LibreOffice rendered nothing";
    struct Expected {
        const char* text;
        double left, top, right, bottom;  // tenths of a millimetre on the page
    };
    // Block 7 starts at (200, 300): row 1 from y 337 to 397, cells from x 300.
    for (const Expected& e :
         {Expected{"左", 300, 337, 400, 397}, Expected{"右寄", 400, 337, 500, 397},
          Expected{"一行", 350, 740, 650, 800}}) {
        const RenderedWord* w = find_word(words, e.text);
        ASSERT_NE(w, nullptr) << e.text;
        EXPECT_GE(w->x_min, points(e.left / 10) - 0.5) << e.text;
        EXPECT_LE(w->x_max, points(e.right / 10) + 0.5) << e.text;
        EXPECT_GE(w->y_min, points(e.top / 10) - 0.5) << e.text;
        EXPECT_LE(w->y_max, points(e.bottom / 10) + 0.5) << e.text;
    }
}

}  // namespace
