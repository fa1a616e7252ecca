// Ruled tables as Word tables, read back with python-docx and rendered by LibreOffice.
#include <gtest/gtest.h>

#include <memory>

#include "table_checks.h"

namespace {

using namespace wordbuilder::tables;
using wordbuilder::WordRunOutcome;

double points(double millimetres) {
    return millimetres * 72 / 25.4;
}

// Row pitch 60 (tenths of a millimetre) as an exact row height: the pitch in points, reduced
// to 96.9 %.
const double row_height = points(6.0) * 0.969;

// word_tables.PRN_CHAR: page 1 holds a 3 x 4 table below two lines of block 1 and two 1 x 1
// tables in block 2; page 2 starts with a 2 x 2 table followed by a block with a figure.
class table_word : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<wordbuilder::testing::TempFolder>(unique_name("word"));
        conversion_ =
            std::make_unique<Conversion>(convert(folder_->path(), fixture("word_tables.PRN_CHAR"),
                                                 fixture("word_tables.PRN_PICT"), true, 2));
        dump_ = std::make_unique<DocumentDump>(dump_document(conversion_->document));
    }
    static void TearDownTestSuite() {
        dump_.reset();
        conversion_.reset();
        folder_.reset();
    }
    void SetUp() override {
        ASSERT_EQ(conversion_->outcome, WordRunOutcome::completed);
        ASSERT_EQ(dump_->tables.size(), 4u);
    }
    static const CellDump& cell(std::size_t table, std::size_t row, std::size_t column) {
        return dump_->tables.at(table).rows.at(row).cells.at(column);
    }

    static std::unique_ptr<wordbuilder::testing::TempFolder> folder_;
    static std::unique_ptr<Conversion> conversion_;
    static std::unique_ptr<DocumentDump> dump_;
};

std::unique_ptr<wordbuilder::testing::TempFolder> table_word::folder_;
std::unique_ptr<Conversion> table_word::conversion_;
std::unique_ptr<DocumentDump> table_word::dump_;

TEST_F(table_word, text_lines_above_tables_only) {
    const std::vector<std::string> body = {
        "P|10.50|表の上", "P|10.50|二行目", "T",
        // The block's text was written above the first table: the second gets an empty line.
        "P|10.50|次のブロック", "T", "P|10.50|", "T",
        // No lines before a table at the top of a page, just the blank that holds the break.
        "P|10.50| ", "T", "P|10.50|後続", "P|10.50|", "P|10.50|"};
    EXPECT_EQ(dump_->body, body);
}

TEST_F(table_word, column_widths_row_heights_and_indents) {
    // One character (37.04 tenths of a millimetre) is a column of Char_Size points; the
    // others round to tenths of a character: 300 -> 81 x 1.05 pt, 200 -> 54 x 1.05 pt.
    EXPECT_EQ(dump_->tables[0].grid, "210,1701,1134,1134");
    // m4 + x1 - Margin_Left: 100 + 200 - 200 = 10 mm, then 0 + 250 - 200 = 5 mm.
    EXPECT_EQ(dump_->tables[0].indent, "567");
    EXPECT_EQ(dump_->tables[1].indent, "283");
    for (const RowDump& row : dump_->tables[0].rows) {
        EXPECT_EQ(row.rule, "exact");
        EXPECT_NEAR(std::stod(row.height) / 20, row_height, 0.05);
    }
    EXPECT_NEAR(std::stod(dump_->tables[1].rows[0].height) / 20, points(5.0) * 0.969, 0.05);
}

TEST_F(table_word, rulings_follow_codes_and_bottom_lines_of_the_row_above) {
    const std::string line = "single:4";
    // "001111" in the first column: all four sides.
    const CellDump& first = cell(0, 0, 0);
    EXPECT_EQ(std::vector<std::string>({first.top, first.left, first.bottom, first.right}),
              std::vector<std::string>(4, line));
    // "000000": top and right cleared; the left line is the neighbour's right line.
    const CellDump& bare = cell(0, 0, 2);
    EXPECT_EQ(bare.top, "nil");
    EXPECT_EQ(bare.right, "nil");
    EXPECT_EQ(bare.left, line);
    EXPECT_EQ(bare.down + bare.up, "nilnil");
    // "001110" in the first row: no top line.
    EXPECT_EQ(cell(0, 0, 3).top, "nil");
    EXPECT_EQ(cell(0, 0, 3).left, "nil");
    // Codes without a top line below cells that drew their bottom line keep the top line.
    EXPECT_EQ(cell(0, 1, 0).top, line);
    EXPECT_EQ(cell(0, 1, 0).right, "nil");
    EXPECT_EQ(cell(0, 1, 2).text, "末尾");
    EXPECT_EQ(cell(0, 1, 2).top, line);
    // "110000": both diagonals.
    EXPECT_EQ(cell(0, 2, 0).down, line);
    EXPECT_EQ(cell(0, 2, 0).up, line);
    for (const RowDump& row : dump_->tables[0].rows) {
        for (const CellDump& c : row.cells) {
            EXPECT_EQ(c.margins, "0,0,0,0") << c.text;
            EXPECT_EQ(c.valign, "center") << c.text;
        }
    }
}

TEST_F(table_word, joined_cells_span_grid_columns_with_the_ruling_repeated) {
    ASSERT_EQ(dump_->tables[0].rows[1].cells.size(), 3u);
    const CellDump& joined = cell(0, 1, 1);
    EXPECT_EQ(joined.span, "2");
    EXPECT_EQ(joined.width, "2835");
    EXPECT_EQ(joined.jc, "center");
    EXPECT_EQ(joined.right, "single:4");
    // The cell below the "000000" cell drew no bottom line: the joined cell has no top.
    EXPECT_EQ(joined.top, "nil");

    ASSERT_EQ(dump_->tables[0].rows[2].cells.size(), 2u);
    EXPECT_EQ(cell(0, 2, 0).span + cell(0, 2, 0).width, "21911");
    const CellDump& total = cell(0, 2, 1);
    EXPECT_EQ(total.text, "計");
    EXPECT_EQ(total.span + total.width, "22268");
    EXPECT_EQ(total.jc, "right");
    EXPECT_EQ(total.right, "single:4");
}

TEST_F(table_word, cell_texts_lose_markers_and_trailing_blanks) {
    EXPECT_EQ(cell(0, 0, 1).text, "abcdef");
    EXPECT_EQ(cell(0, 0, 1).runs, "abc:sup,pos-4");
    EXPECT_EQ(cell(0, 1, 1).text, "xy");
    EXPECT_EQ(cell(0, 1, 1).runs, "y:sub,pos4");
    EXPECT_EQ(cell(0, 0, 2).text, "ab");
    EXPECT_EQ(cell(0, 0, 0).jc, "center");
    EXPECT_EQ(cell(0, 0, 1).jc, "left");
    EXPECT_EQ(cell(0, 0, 3).jc, "right");
}

TEST_F(table_word, rows_move_the_pictures_placed_later_on_the_page) {
    ASSERT_EQ(dump_->anchors.size(), 2u);
    // Two rows taller than grid lines, plus one line for the blank before a table that
    // opens the page.
    const double drift = 2 * (row_height - 10.5) + 10.5;
    EXPECT_NEAR(std::stod(dump_->anchors[0][4]), points(20) + drift, 0.02);
    EXPECT_NEAR(std::stod(dump_->anchors[1][4]), points(50) + drift, 0.02);
}

TEST_F(table_word, rendered_texts_land_in_their_cells) {
    const auto words = render_first_page(conversion_->document, folder_->path() / "render");
    ASSERT_FALSE(words.empty()) << "LibreOffice rendered nothing";
    // The table starts two exact lines below the top margin, indented 10 mm.
    const double top = points(20) + 2 * 10.5;
    const double left = points(20) + points(10);
    const double edges[] = {left, left + 10.5, left + 95.55, left + 152.25, left + 208.95};
    struct Expected {
        const char* text;
        int row, first_column, last_column;
    };
    for (const Expected& e :
         {Expected{"1", 0, 0, 0}, Expected{"右", 0, 3, 3}, Expected{"2", 1, 0, 0},
          Expected{"末尾", 1, 3, 3}, Expected{"3", 2, 0, 1}, Expected{"計", 2, 2, 3}}) {
        const RenderedWord* w = find_word(words, e.text);
        ASSERT_NE(w, nullptr) << e.text;
        EXPECT_GE(w->x_min, edges[e.first_column] - 0.5) << e.text;
        EXPECT_LE(w->x_max, edges[e.last_column + 1] + 0.5) << e.text;
        const double middle = (w->y_min + w->y_max) / 2;
        EXPECT_NEAR(middle, top + (e.row + 0.5) * row_height, 2.0) << e.text;
    }
    // Right-aligned texts end at their cell's right edge.
    EXPECT_NEAR(find_word(words, "計")->x_max, edges[4], 1.0);
    EXPECT_EQ(find_word(words, "表の下"), nullptr);
}

}  // namespace
