// Where tables sit in the flow of the text: the lines above them, what follows them in their
// block and on their page, and their drawings' files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table_checks.h"

namespace {

using namespace wordbuilder::tables;
using wordbuilder::WordRunOutcome;

const std::string one_cell = "MATRIX,1,1,%,0,60,T,100\nC,0,0,001111,1,100,\"表\"\n";

// A one-cell table starting on grid line m3.
std::string table_at(int m3) {
    std::string out = one_cell;
    out.replace(out.find('%'), 1, std::to_string(m3));
    return out;
}

std::vector<std::string> first(const std::vector<std::string>& body, std::size_t n) {
    return {body.begin(), body.begin() + static_cast<std::ptrdiff_t>(std::min(n, body.size()))};
}

TEST(table_flow, an_empty_line_above_a_table_stays) {
    wordbuilder::testing::TempFolder folder(unique_name("empty_line_above"));
    const Conversion run =
        convert(folder.path(),
                "PAGE,1\nBLOCK,1,200,200,1900,600,0,0\nLABEL,200,37.04,0,0,\"上\"\n" + table_at(3) +
                    "PAGE,2\n",
                "PRN_PICT\nBLOCK,1,200,200,1900,600,0,0\nPAGE\n", true);
    ASSERT_EQ(run.outcome, WordRunOutcome::completed);
    const DocumentDump dump = dump_document(run.document);
    EXPECT_EQ(first(dump.body, 4),
              (std::vector<std::string>{"P|10.50|上", "P|10.50|", "P|10.50|", "T"}));
}

TEST(table_flow, gap_lines_after_a_table_are_empty) {
    // A block of kind 1 that ends with its table leaves a gap down to the next block: empty
    // lines, not the text above the table again, nor the text below it that is never written.
    wordbuilder::testing::TempFolder folder(unique_name("gap_after_table"));
    const Conversion run = convert(
        folder.path(),
        "PAGE,1\nBLOCK,1,200,200,1900,400,1,0\nLABEL,200,37.04,0,0,\"上\"\n" + table_at(2) +
            "LABEL,200,111.12,0,0,\"下\"\n" + table_at(1) +
            "BLOCK,2,200,400,1900,480,0,0\nLABEL,200,37.04,0,0,\"次\"\nPAGE,2\n",
        "PRN_PICT\nBLOCK,1,200,200,1900,400,0,0\nBLOCK,2,200,400,1900,480,0,0\nPAGE\n", true);
    ASSERT_EQ(run.outcome, WordRunOutcome::completed);
    const DocumentDump dump = dump_document(run.document);
    std::vector<std::string> expected = {"P|10.50|上", "P|10.50|", "T", "P|10.50|", "T"};
    // (400 - 200) / 37.04 rounds to 5 lines.
    expected.insert(expected.end(), 5, "P|10.50|");
    expected.push_back("P|10.50|次");
    EXPECT_EQ(first(dump.body, expected.size()), expected);
}

TEST(table_flow, each_table_drawing_is_named_after_its_own_block) {
    // PRN_PICT names no figures for block 2: its table must not replace block 1's drawing.
    wordbuilder::testing::TempFolder folder(unique_name("drawing_names"));
    const Conversion run = convert(folder.path(),
                                   "PAGE,1\nBLOCK,1,200,200,1900,400,0,0\n" + table_at(0) +
                                       "BLOCK,2,200,400,1900,600,0,0\n" + table_at(0) + "PAGE,2\n",
                                   "PRN_PICT\nBLOCK,1,200,200,1900,400,0,0\nPAGE\n", false);
    ASSERT_EQ(run.outcome, WordRunOutcome::completed);
    const std::filesystem::path meta = folder.path() / "META_FILE";
    EXPECT_TRUE(std::filesystem::exists(meta / "MT1.emf"));
    EXPECT_TRUE(std::filesystem::exists(meta / "MT2.emf"));
    const DocumentDump dump = dump_document(run.document);
    EXPECT_EQ(dump.anchors.size(), 2u);
}

TEST(table_flow, a_table_starting_outside_the_page_ends_the_run) {
    // Without text in the block, the lines above were written as empty paragraphs, a thousand
    // of them; in both modes the run now stops with a message naming the page and the line.
    for (const bool word_tables : {true, false}) {
        for (const int m3 : {1000, 68, -1}) {
            SCOPED_TRACE(std::to_string(m3) + (word_tables ? " table" : " drawing"));
            wordbuilder::testing::TempFolder folder(unique_name("start_outside"));
            const Conversion run = convert(
                folder.path(),
                "PAGE,1\nBLOCK,1,200,200,1900,400,0,0\nPAGE,2\nBLOCK,2,200,200,1900,4000,0,0\n" +
                    table_at(m3) + "PAGE,3\n",
                "PRN_PICT\nPAGE\nPAGE\n", word_tables, 2);
            EXPECT_EQ(run.outcome, WordRunOutcome::failed);
            ASSERT_EQ(run.progress.messages.size(), 1u);
            EXPECT_EQ(run.progress.messages[0].rfind(
                          "|表の開始行がブロックの範囲外です。（2ページ、PRN_CHAR の ", 0),
                      0u)
                << run.progress.messages[0];
            EXPECT_FALSE(std::filesystem::exists(run.document));
        }
    }
}

TEST(table_flow, a_document_ending_with_a_table_ends_there) {
    wordbuilder::testing::TempFolder folder(unique_name("ends_with_table"));
    const Conversion run = convert(
        folder.path(),
        "PAGE,1\nBLOCK,1,200,200,1900,400,0,0\nLABEL,200,37.04,0,0,\"一\"\nPAGE,2\n"
        "BLOCK,2,200,200,1900,400,0,0\n" +
            table_at(0) + "PAGE,3\n",
        "PRN_PICT\nBLOCK,1,200,200,1900,400,0,0\nPAGE\nBLOCK,2,200,200,1900,400,0,0\nPAGE\n", true,
        2);
    ASSERT_EQ(run.outcome, WordRunOutcome::completed);
    // The one paragraph a document needs after a table, and no second one to spill onto a
    // blank page.
    const DocumentDump dump = dump_document(run.document);
    ASSERT_GE(dump.body.size(), 2u);
    EXPECT_EQ(dump.body[dump.body.size() - 2], "T");
    EXPECT_EQ(dump.body.back(), "P|10.50|");
}

}  // namespace
