// Tables built in a scratch document and moved into the output by cut and paste.
#include <gtest/gtest.h>

#include "base/run_time_error.h"
#include "platform/word/word.h"

namespace {

using namespace word;

class word_tables : public ::testing::Test {
  protected:
    Application app;
    Document work = app.Documents().Add();
    Document output = app.Documents().Add();
};

TEST_F(word_tables, cells_count_their_marks_and_take_text_before_the_cell_mark) {
    Range work_range = work.Range();
    Table t = work.Tables().Add(work_range, 2, 3);
    // Each cell holds its end-of-cell mark, each row an end-of-row mark, then the final mark.
    EXPECT_EQ(work.Content().End(), 2 * (3 + 1) + 1);
    EXPECT_EQ(t.Cell(1, 1).Range().Start(), 0);
    EXPECT_EQ(t.Cell(1, 1).Range().End(), 1);
    EXPECT_EQ(t.Cell(2, 1).Range().Start(), 4);
    EXPECT_EQ(t.Range().End(), 8);

    Range cell = t.Cell(1, 2).Range();
    cell.InsertAfter("x$y");
    EXPECT_EQ(cell.Start(), 1);
    EXPECT_EQ(cell.End(), 5);
    EXPECT_EQ(t.Cell(1, 2).Range().Text(), "x$y\r\a");
    EXPECT_EQ(t.Cell(1, 3).Range().Start(), 5);

    cell.Characters().Item(3).Font().Superscript(true);
    cell.Characters().Item(3).Font().Position(-2);
    EXPECT_TRUE(work.Range(3, 4).Font().Superscript());
    EXPECT_FALSE(work.Range(2, 3).Font().Superscript());

    EXPECT_THROW(t.Cell(3, 1), base::RunTimeError);
    EXPECT_THROW(t.Cell(1, 4), base::RunTimeError);
}

TEST_F(word_tables, merging_keeps_widths_content_and_shifts_later_cells) {
    Table t = work.Tables().Add(work.Range(), 1, 3);
    for (int c = 1; c <= 3; ++c) t.Columns().Item(c).Width(30.0f + static_cast<float>(c));
    t.Cell(1, 1).Range().InsertAfter("ab");
    t.Cell(1, 3).Range().InsertAfter("z");
    work.Range(t.Cell(1, 1).Range().Start(), t.Cell(1, 2).Range().End()).Cells().Merge();
    EXPECT_EQ(t.Rows().Item(1).Range().Text(), "ab\r\az\r\a\r\a");
    EXPECT_FLOAT_EQ(t.Cell(1, 1).Width(), 31.0f + 32.0f);
    EXPECT_EQ(t.Cell(1, 2).Range().Text(), "z\r\a");
    EXPECT_THROW(t.Cell(1, 3), base::RunTimeError);
    // A range reaching the end-of-row mark is not a set of cells of one row.
    EXPECT_THROW(work.Range(0, 6).Cells().Merge(), base::RunTimeError);
}

TEST_F(word_tables, neighbouring_cells_share_one_vertical_line) {
    Table t = work.Tables().Add(work.Range(), 2, 2);
    t.Borders().OutsideLineStyle(wdLineStyleNone);
    EXPECT_EQ(t.Cell(1, 1).Borders().Item(wdBorderTop).LineStyle(), wdLineStyleNone);
    EXPECT_EQ(t.Cell(1, 1).Borders().Item(wdBorderBottom).LineStyle(), wdLineStyleSingle);
    t.Cell(1, 1).Borders().Item(wdBorderRight).LineStyle(wdLineStyleNone);
    EXPECT_EQ(t.Cell(1, 2).Borders().Item(wdBorderLeft).LineStyle(), wdLineStyleNone);
    t.Cell(2, 2).Borders().Item(wdBorderLeft).LineStyle(wdLineStyleSingle);
    t.Cell(2, 2).Borders().Item(wdBorderLeft).LineWidth(wdLineWidth050pt);
    EXPECT_EQ(t.Cell(2, 1).Borders().Item(wdBorderRight).LineStyle(), wdLineStyleSingle);
    EXPECT_EQ(t.Cell(2, 1).Borders().Item(wdBorderDiagonalDown).LineStyle(), wdLineStyleNone);
    EXPECT_THROW(t.Cell(1, 1).Borders().Item(wdBorderTop).LineWidth(5), base::RunTimeError);
}

TEST_F(word_tables, cells_above_and_below_share_one_horizontal_line) {
    Table t = work.Tables().Add(work.Range(), 3, 2);
    t.Cell(1, 1).Width(40);
    t.Cell(1, 2).Width(40);
    t.Cell(2, 1).Width(80);
    t.Cell(2, 2).Width(20);
    t.Cell(3, 1).Width(80);
    t.Cell(3, 2).Width(20);
    t.Cell(2, 1).Borders().Item(wdBorderTop).LineStyle(wdLineStyleNone);
    // Both cells above lie over the wide cell: its top line is their bottom line.
    EXPECT_EQ(t.Cell(1, 1).Borders().Item(wdBorderBottom).LineStyle(), wdLineStyleNone);
    EXPECT_EQ(t.Cell(1, 2).Borders().Item(wdBorderBottom).LineStyle(), wdLineStyleNone);
    t.Cell(2, 2).Borders().Item(wdBorderBottom).LineStyle(wdLineStyleNone);
    EXPECT_EQ(t.Cell(3, 2).Borders().Item(wdBorderTop).LineStyle(), wdLineStyleNone);
    EXPECT_EQ(t.Cell(3, 1).Borders().Item(wdBorderTop).LineStyle(), wdLineStyleSingle);
}

TEST_F(word_tables, a_table_added_inside_a_paragraph_splits_it) {
    Range r = work.Range();
    r.InsertAfter("abcd");
    Table t = work.Tables().Add(work.Range(2, 2), 1, 1);
    EXPECT_EQ(work.Content().Text(), "ab\r\r\a\r\acd\r");
    EXPECT_EQ(t.Range().Start(), 3);
    EXPECT_EQ(r.Text(), "ab\r\r\a\r\acd\r");  // the range grew over what came inside it
}

TEST_F(word_tables, a_table_added_right_after_another_joins_it) {
    Range r = work.Range();
    Table first = work.Tables().Add(r, 2, 2);
    // The range follows the table down to the paragraph after it.
    EXPECT_EQ(r.Start(), first.Range().End());
    Table second = work.Tables().Add(r, 1, 3);
    EXPECT_EQ(work.Tables().Count(), 1);
    EXPECT_EQ(second.Rows().Count(), 3);
    // The caller addresses its own rows from the end.
    const int n = second.Rows().Count();
    EXPECT_EQ(n - 1 + 1, 3);
    EXPECT_NO_THROW(second.Cell(3, 3));
    EXPECT_THROW(second.Cell(1, 3), base::RunTimeError);
}

TEST_F(word_tables, cut_and_paste_moves_the_table_between_documents) {
    Range work_range = work.Range();
    Table t = work.Tables().Add(work_range, 1, 2);
    t.Cell(1, 1).Range().InsertAfter("left");
    t.Cell(1, 2).Range().InsertAfter("right");
    t.Rows().Item(1).HeightRule(wdRowHeightExactly);
    t.Rows().Item(1).Height(12.5f);
    t.Rows().LeftIndent(20);
    t.Range().Cut();
    EXPECT_EQ(work.Tables().Count(), 0);
    EXPECT_EQ(work.Content().End(), 1);
    EXPECT_THROW(t.Range(), base::RunTimeError);

    Range out = output.Range();
    out.Collapse(wdCollapseEnd);
    out.InsertAfter(" ");
    out.Collapse(wdCollapseEnd);
    out.Paste();
    // The paste splits the paragraph and the range covers the table.
    EXPECT_EQ(out.Start(), 2);
    EXPECT_EQ(output.Tables().Count(), 1);
    Table moved = output.Tables().Item(1);
    EXPECT_EQ(out.End(), moved.Range().End());
    EXPECT_EQ(moved.Cell(1, 2).Range().Text(), "right\r\a");
    EXPECT_FLOAT_EQ(moved.Rows().Item(1).Height(), 12.5f);
    EXPECT_FLOAT_EQ(moved.Rows().Item(1).LeftIndent(), 20.0f);
    out.Collapse(wdCollapseEnd);
    EXPECT_EQ(out.Start(), output.Content().End() - 1);

    // A second table pasted straight after the first joins it, as in Word.
    out.Paste();
    EXPECT_EQ(output.Tables().Count(), 1);
    EXPECT_EQ(output.Tables().Item(1).Rows().Count(), 2);
    app.Clipboard().Clear();
    EXPECT_THROW(out.Paste(), base::RunTimeError);
}

}  // namespace
