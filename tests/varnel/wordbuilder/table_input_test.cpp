// Tables the run cannot build end it with one message and no document; tables it can build in
// one mode but not the other are told apart.
#include <gtest/gtest.h>

#include <string>

#include "table_checks.h"

namespace {

using namespace wordbuilder::tables;
using wordbuilder::WordRunOutcome;

const std::string subscript = "インデックスが有効範囲にありません。";
const std::string out_of_range = "値が範囲外です。";
const std::string no_member = "要求されたメンバーのコレクションが存在しません。";

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// rows x columns cell lines with the text `text`.
std::string cells(int rows, int columns, const std::string& text = "x") {
    std::string out;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            out += "C," + std::to_string(r) + "," + std::to_string(c) + ",001111,1,100,\"" + text +
                   "\"\n";
        }
    }
    return out;
}

// A MATRIX line with `columns` widths of 100, and its cells.
std::string table(const std::string& header, int rows, int columns, const std::string& text = "x") {
    return "MATRIX," + header + ",T" + repeat(",100", columns) + "\n" + cells(rows, columns, text);
}

struct Case {
    const char* name;
    std::string records;  // what follows the block's one text line
    bool word_tables;
    std::string message;  // empty: the run completes
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class table_input : public ::testing::TestWithParam<Case> {};

TEST_P(table_input, fails_with_one_message_or_completes) {
    const Case& c = GetParam();
    wordbuilder::testing::TempFolder folder(unique_name(c.name));
    const Conversion run =
        convert(folder.path(),
                "PAGE,1\nBLOCK,1,200,200,1900,600,0,0\nLABEL,200,37.04,0,0,\"上\"\n" + c.records +
                    "PAGE,2\n",
                "PRN_PICT\nBLOCK,1,200,200,1900,600,0,0\nPAGE\n", c.word_tables);
    if (c.message.empty()) {
        EXPECT_EQ(run.outcome, WordRunOutcome::completed);
        EXPECT_TRUE(run.progress.messages.empty()) << run.progress.messages.front();
        EXPECT_TRUE(std::filesystem::exists(run.document));
    } else {
        EXPECT_EQ(run.outcome, WordRunOutcome::failed);
        EXPECT_EQ(run.progress.messages, std::vector<std::string>{"|" + c.message});
        EXPECT_FALSE(std::filesystem::exists(run.document));
        // A table drawing that could not be finished leaves no picture file.
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "META_FILE" / "MT1.emf"));
    }
}

const std::string runs_256 = repeat("$Ua$Z", 256);
const std::string runs_257 = repeat("$Ua$Z", 257);

INSTANTIATE_TEST_SUITE_P(
    bad_tables, table_input,
    ::testing::Values(Case{"widths_65", table("1,65,1,0,60", 1, 65), true, subscript},
                      Case{"cells_51", table("1,51,1,0,60", 1, 51), true, subscript},
                      Case{"cells_51_drawn", table("1,51,1,0,60", 1, 51), false, ""},
                      Case{"runs_256", table("1,1,1,0,60", 1, 1, runs_256), true, ""},
                      Case{"runs_257", table("1,1,1,0,60", 1, 1, runs_257), true, subscript},
                      Case{"runs_257_drawn", table("1,1,1,0,60", 1, 1, runs_257), false, ""},
                      // The first cell's tag is read as the missing width.
                      Case{"widths_too_few", "MATRIX,1,3,1,0,60,T,100,100\n" + cells(1, 3), true,
                           "型が一致しません。"},
                      Case{"rows_0", table("0,2,1,0,60", 0, 2), true, out_of_range},
                      Case{"rows_0_drawn", table("0,2,1,0,60", 0, 2), false, ""},
                      Case{"columns_negative", table("1,-1,1,0,60", 0, 0), true, out_of_range},
                      Case{"columns_negative_drawn", table("1,-1,1,0,60", 0, 0), false, ""},
                      Case{"joined_first_cell", table("1,2,1,0,60", 1, 2, "@"), true, no_member},
                      Case{"joined_first_cell_drawn", table("1,2,1,0,60", 1, 2, "@"), false, ""},
                      Case{"column_past_the_table",
                           "MATRIX,1,1,1,0,60,T,100\nC,0,7,001111,1,100,\"x\"\n", true, no_member},
                      Case{"column_overflow",
                           "MATRIX,1,1,1,0,60,T,100\nC,0,99999,001111,1,100,\"x\"\n", true,
                           "オーバーフローしました。"},
                      Case{"pitch_negative", table("1,1,1,0,-60", 1, 1), true, out_of_range},
                      Case{"pitch_0_drawn", table("1,1,1,0,0", 1, 1), false, out_of_range},
                      Case{"start_below_the_block", table("1,1,12,0,60", 1, 1), true,
                           "表の開始行がブロックの範囲外です。（1ページ、PRN_CHAR の 71 "
                           "バイト目の行、開始行 12）"}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
