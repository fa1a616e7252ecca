#include "jobfiles/cell_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "jobfiles/prn_char.h"

namespace {

using jobfiles::CellAlignment;
using jobfiles::CellRule;
using jobfiles::CellRuling;

std::vector<CellRule> sides(const CellRuling& r) {
    return {r.diagonal_down, r.diagonal_up, r.left, r.bottom, r.right, r.top};
}

TEST(cell_line, ruling_sides_follow_the_code_order_with_their_weights) {
    // Both diagonals and the left and bottom lines ordinary, the right and the top heavy.
    const std::vector<CellRule> r = sides(CellRuling::decode("111155"));
    const std::vector<std::optional<int>> styles = {0, 0, 0, 0, 1, 1};
    for (std::size_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(r[k].drawn());
        EXPECT_EQ(r[k].line_style(), styles[k]);
    }
    EXPECT_EQ(CellRuling::decode("400009").diagonal_down.digit(), 4);
    EXPECT_EQ(CellRuling::decode("400009").top.line_style(), 1);
    for (const CellRule& side : sides(CellRuling::decode("000000"))) {
        EXPECT_FALSE(side.drawn());
        EXPECT_EQ(side.line_style(), std::nullopt);
    }
}

TEST(cell_line, missing_and_stray_characters_rule_in_word_but_not_in_the_workbook) {
    // A code of two characters: the four missing sides are not "0", so the Word route rules
    // them, with the line kind of digit 0; the workbook draws no line for them.
    const CellRuling shortened = CellRuling::decode("01");
    EXPECT_FALSE(shortened.diagonal_down.drawn());
    EXPECT_EQ(shortened.diagonal_up.line_style(), 0);
    for (const CellRule& side :
         {shortened.left, shortened.bottom, shortened.right, shortened.top}) {
        EXPECT_TRUE(side.drawn());
        EXPECT_EQ(side.digit(), 0);
        EXPECT_EQ(side.line_style(), std::nullopt);
    }
    const CellRule stray = CellRuling::decode("00x000").left;
    EXPECT_TRUE(stray.drawn());
    EXPECT_EQ(stray.digit(), 0);
    EXPECT_EQ(stray.line_style(), std::nullopt);
}

TEST(cell_line, alignment_kinds_and_joins) {
    EXPECT_EQ(jobfiles::cell_alignment(1), CellAlignment::left);
    EXPECT_EQ(jobfiles::cell_alignment(4), CellAlignment::centred);
    EXPECT_EQ(jobfiles::cell_alignment(7), CellAlignment::right);
    for (const int kind : {0, 2, 3, 5, 8, -1}) {
        EXPECT_EQ(jobfiles::cell_alignment(static_cast<std::int16_t>(kind)), CellAlignment::other);
    }
    jobfiles::CellLine cell;
    for (const std::string text : {"@", "@@", " @", ""}) {
        cell.text = text;
        cell.decode();
        EXPECT_EQ(cell.joins_left, text == "@") << text;
    }
}

TEST(cell_line, both_readers_decode_the_cells_they_read) {
    const std::string bytes =
        "HEADER\r\nMATRIX,1,2,3,0,50,T,100,100\r\n"
        "C,0,0,115500,4,100,\"@\"\r\nC,0,1,0,7,100,\"x\"\r\n";
    jobfiles::PrnCharReader step(bytes);
    step.skip_line();
    ASSERT_EQ(step.read_keyword(), "MATRIX");
    jobfiles::MatrixHeader header = step.read_matrix_header();
    step.read_matrix_widths(header);
    std::vector<jobfiles::CellLine> stepped{step.read_cell_line(), step.read_cell_line()};

    jobfiles::SorbelCharReader whole(bytes);
    ASSERT_TRUE(std::holds_alternative<jobfiles::MatrixHeader>(*whole.next()));
    const auto row = whole.next();
    ASSERT_TRUE(row && std::holds_alternative<jobfiles::MatrixRow>(*row));
    for (const auto& cells : {stepped, std::get<jobfiles::MatrixRow>(*row).cells}) {
        ASSERT_EQ(cells.size(), 2u);
        EXPECT_TRUE(cells[0].joins_left);
        EXPECT_EQ(cells[0].alignment, CellAlignment::centred);
        EXPECT_EQ(cells[0].ruling.bottom.line_style(), 1);
        EXPECT_FALSE(cells[0].ruling.top.drawn());
        EXPECT_FALSE(cells[1].joins_left);
        EXPECT_EQ(cells[1].alignment, CellAlignment::right);
        // "0" alone: no line on the first side, the five missing ones ruled in Word.
        EXPECT_FALSE(cells[1].ruling.diagonal_down.drawn());
        EXPECT_TRUE(cells[1].ruling.top.drawn());
    }
}

}  // namespace
