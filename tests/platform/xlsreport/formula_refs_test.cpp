// References in the defined names of templates as Excel and other writers spell them.
#include "platform/xlsreport/formula_refs.h"

#include <gtest/gtest.h>

#include "platform/xlsreport/defined_names.h"

namespace {

using namespace xlsreport::detail;

MovedFormula move(std::string_view formula) {
    return move_formula(formula, "1", "Page 1～50",
                        [](std::string_view sheet) { return sheet == "Cover" || sheet == "It's"; });
}

TEST(formula_refs, references_to_the_template_sheet_move_whatever_their_quoting) {
    EXPECT_EQ(move("'1'!$A$1:$H$50").formula, "'Page 1～50'!$A$1:$H$50");
    EXPECT_EQ(move("1!$1:$2").formula, "'Page 1～50'!$1:$2");
    EXPECT_EQ(move("1!$A:$B,1!$1:$2").formula, "'Page 1～50'!$A:$B,'Page 1～50'!$1:$2");
    EXPECT_EQ(move("SUM('1'!A1:A3)*Rate+\"1!A1\"").formula,
              "SUM('Page 1～50'!A1:A3)*Rate+\"1!A1\"");
    EXPECT_EQ(move("Cover!$A$1+'It''s'!B2+0.08").formula, "Cover!$A$1+'It''s'!B2+0.08");
    EXPECT_EQ(move("Table1[[#All],[Col]]").formula, "Table1[[#All],[Col]]");
    EXPECT_EQ(move_formula("'1'!A1", "1", "It's", [](std::string_view) { return false; }).formula,
              "'It''s'!A1");
}

TEST(formula_refs, references_that_no_longer_resolve_say_why) {
    EXPECT_NE(move("'1'!#REF!").problem.find("#REF!"), std::string::npos);
    EXPECT_NE(move("[1]Sheet1!$A$1").problem.find("ほかのブック"), std::string::npos);
    EXPECT_NE(move("'1:Cover'!$A$1").problem.find("複数のシート"), std::string::npos);
    EXPECT_NE(move("Other!$A$1").problem.find("シート「Other」"), std::string::npos);
    EXPECT_TRUE(move("IF(A1=\"#N/A\",#N/A,1)").problem.empty());
}

TEST(formula_refs, formulas_that_do_not_parse_are_refused) {
    for (const char* bad : {"", "  ", "SUM('1'!$A$1", "'1!$A$1", "'1'$A$1", "\"open", "!A1", "A1)",
                            "{1,2", "Sheet#1!A1", "[1"}) {
        EXPECT_FALSE(formula_parses(bad)) << bad;
        EXPECT_FALSE(move(bad).problem.empty()) << bad;
    }
    EXPECT_TRUE(formula_parses("'1'!$A$1:$B$2"));
}

TEST(formula_refs, print_areas_as_ranges_with_whole_rows_and_columns) {
    const auto areas = formula_areas("'1'!$A$1:$CZ$65,1!$3:$4,'1'!$B:$C,'1'!D7");
    ASSERT_TRUE(areas);
    EXPECT_EQ(*areas, (std::vector<CellRange>{
                          {0, 0, 103, 64}, {0, 2, max_col, 3}, {1, 0, 2, max_row}, {3, 6, 3, 6}}));
    for (const char* not_areas : {"SUM('1'!A1:A3)", "'1'!$A$1:$B", "'1'!A0", "'1'!XFE1",
                                  "'1'!A1048577", "'1'!#REF!", "Rate"}) {
        EXPECT_FALSE(formula_areas(not_areas)) << not_areas;
    }
}

TEST(defined_names, names_excel_takes) {
    for (const char* good : {"Rate", "_xlnm.Print_Area", "\\x", "売上_2024", "A1B", "Q4.total?"})
        EXPECT_TRUE(valid_defined_name(good)) << good;
    for (const char* bad :
         {"", "1abc", "A1", "XFD1048576", "R", "c", "R1C1", "RC", "my name", "a-b"})
        EXPECT_FALSE(valid_defined_name(bad)) << bad;
    EXPECT_FALSE(valid_defined_name(std::string(256, 'a')));
}

}  // namespace
