#include "platform/xlsreport/sheet_model.h"

#include <gtest/gtest.h>

#include "platform/xlsreport/cell_text.h"
#include "platform/xlsreport/sheet_names.h"

namespace {

using xlsreport::detail::CellRange;
using xlsreport::detail::SheetModel;

TEST(xlsreport_sheet, deleting_rows_moves_everything_below_up) {
    SheetModel sheet("s");
    sheet.set_text(0, 1, "keep above");
    sheet.set_text(0, 5, "deleted");
    sheet.set_text(2, 10, "moves up");
    sheet.set_row_height(10, 10, 20);
    sheet.merge({0, 3, 1, 7});     // cut by the deletion: rows 3 and 4 survive
    sheet.merge({0, 12, 3, 13});   // below: moves up
    sheet.merge({4, 5, 5, 6});     // inside: goes
    sheet.set_break(0, 5, true);   // on a deleted row: goes
    sheet.set_break(0, 11, true);  // below: moves up
    sheet.place_picture({0, 0, 6, 1, 1, 10, 10});
    sheet.place_picture({0, 0, 9, 1, 1, 10, 10});

    sheet.delete_rows(5, 4);  // rows 5..8

    ASSERT_TRUE(sheet.rows().contains(1));
    EXPECT_FALSE(sheet.rows().contains(5));
    ASSERT_TRUE(sheet.rows().contains(6));
    EXPECT_EQ(sheet.rows().at(6).cells.at(2).text, "moves up");
    EXPECT_EQ(sheet.rows().at(6).height, 20);
    const std::vector<CellRange> merges{{0, 3, 1, 4}, {0, 8, 3, 9}};
    EXPECT_EQ(sheet.merges(), merges);
    EXPECT_EQ(sheet.row_breaks(), (std::set<std::int32_t>{7}));
    EXPECT_EQ(sheet.pictures()[0].row, 5);
    EXPECT_EQ(sheet.pictures()[1].row, 5);
}

TEST(xlsreport_sheet, a_new_merge_replaces_those_it_overlaps) {
    SheetModel sheet("s");
    sheet.merge({0, 0, 3, 0});
    sheet.merge({5, 0, 6, 0});
    sheet.merge({2, 0, 5, 1});
    EXPECT_EQ(sheet.merges(), (std::vector<CellRange>{{2, 0, 5, 1}}));
    sheet.merge({0, 4, 0, 4});  // one cell: nothing to merge
    EXPECT_EQ(sheet.merges().size(), 1u);
    sheet.unmerge({0, 0, 9, 9});
    EXPECT_TRUE(sheet.merges().empty());
}

TEST(xlsreport_sheet, breaks_lie_above_the_row_and_left_of_the_column) {
    SheetModel sheet("s");
    sheet.set_break(0, 0, true);  // neither above row 0 nor left of column 0
    EXPECT_TRUE(sheet.row_breaks().empty());
    EXPECT_TRUE(sheet.col_breaks().empty());
    sheet.set_break(92, 65, true);
    sheet.set_break(92, 130, true);
    EXPECT_EQ(sheet.row_breaks(), (std::set<std::int32_t>{65, 130}));
    EXPECT_EQ(sheet.col_breaks(), (std::set<std::int32_t>{92}));
}

TEST(xlsreport_text, excel_escapes_in_text_stay_text) {
    using xlsreport::detail::cell_text;
    EXPECT_EQ(cell_text("_x0041_"), "_x005F_x0041_");
    EXPECT_EQ(cell_text("a_x00_b_xZZZZ_"), "a_x00_b_xZZZZ_");
    EXPECT_EQ(cell_text("\x82\xa0"), "\xE3\x81\x82");  // あ
    EXPECT_EQ(xlsreport::detail::utf16_length("\xF0\x9F\x98\x80"
                                              "a"),
              3u);
}

TEST(xlsreport_text, sheet_names_follow_excel) {
    using xlsreport::detail::same_sheet_name;
    using xlsreport::detail::valid_sheet_name;
    EXPECT_TRUE(
        valid_sheet_name("Page 1\xEF\xBD\x9E"
                         "50"));  // Page 1～50
    EXPECT_FALSE(valid_sheet_name(""));
    EXPECT_FALSE(valid_sheet_name("a/b"));
    EXPECT_FALSE(valid_sheet_name("[x]"));
    EXPECT_FALSE(valid_sheet_name("'quoted'"));
    EXPECT_FALSE(valid_sheet_name("history"));
    EXPECT_TRUE(valid_sheet_name(std::string(31, 'x')));
    EXPECT_FALSE(valid_sheet_name(std::string(32, 'x')));
    EXPECT_TRUE(same_sheet_name("Sheet1", "SHEET1"));
    EXPECT_FALSE(same_sheet_name("Sheet1", "Sheet2"));
}

}  // namespace
