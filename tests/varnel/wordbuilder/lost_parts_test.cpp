// A run that goes on past something of the report it cannot convert says what, and still
// writes everything it could read.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "test_job.h"
#include "varnel/wordbuilder/word_builder.h"

namespace {

using namespace wordbuilder::testing;
using wordbuilder::WordRunOutcome;

const std::string page_1 = "PAGE,1\nBLOCK,1,200,200,1900,420,0,0\nLABEL,200,37.04,0,0,\"一\"\n";
const std::string page_2 = "PAGE,2\nBLOCK,2,200,200,1900,420,0,0\nLABEL,200,37.04,0,0,\"二\"\n";
const std::string pict_2 =
    "PRN_PICT\nBLOCK,1,200,200,1900,420,0,0\nPAGE\nBLOCK,2,200,200,1900,420,0,0\nPAGE\n";

struct Conversion {
    WordRunOutcome outcome = WordRunOutcome::failed;
    RecordingProgress progress;
    std::vector<std::string> texts;  // the document's non-empty paragraphs
};

Conversion convert(const std::string& name, const std::string& prn_char, std::int16_t pages,
                   const std::string& raw_text = {}) {
    TempFolder job("lost_" + name);
    write_job_file(job.path() / "PRN_CHAR", prn_char);
    if (!raw_text.empty()) std::ofstream(job.path() / "PRN_CHAR", std::ios::app) << raw_text;
    write_job_file(job.path() / "PRN_PICT", pict_2);
    Conversion run;
    run.outcome = wordbuilder::buildWordDocument(settings_for(job.path(), pages), run.progress);
    if (run.outcome != WordRunOutcome::completed) return run;
    for (const std::string& line : dump_docx(job.path() / "文書.docx")) {
        if (line.rfind("P|", 0) != 0) continue;
        const std::size_t text = line.find('|', line.find('|', line.find('|', 2) + 1) + 1) + 1;
        const std::string t = line.substr(text, line.find('|', text) - text);
        if (!t.empty()) run.texts.push_back(t);
    }
    return run;
}

void expect_warning(const Conversion& run, const std::string& start) {
    ASSERT_EQ(run.outcome, WordRunOutcome::completed)
        << (run.progress.messages.empty() ? "" : run.progress.messages.front());
    const auto& w = run.progress.warnings;
    EXPECT_EQ(std::count_if(w.begin(), w.end(),
                            [&](const std::string& line) { return line.rfind(start, 0) == 0; }),
              1)
        << (w.empty() ? "no warning" : w.front());
}

TEST(lost_parts, a_text_file_cut_short_keeps_what_was_read) {
    // Cut inside a record: the pages read so far, the last one too, are written.
    const Conversion cut = convert("cut_record", page_1 + page_2 + "LABEL,200", 3);
    expect_warning(cut, "PRN_CHAR が途中で終わっています：2ページ");
    EXPECT_EQ(cut.texts, (std::vector<std::string>{"一", "二"}));
    // Without its last page line.
    const Conversion open = convert("no_page_line", page_1 + page_2, 3);
    expect_warning(open, "PRN_CHAR が途中で終わっています：2ページ");
    EXPECT_EQ(open.texts, (std::vector<std::string>{"一", "二"}));
}

TEST(lost_parts, pages_beyond_the_page_count_are_told) {
    const Conversion run = convert("page_count", page_1 + page_2 + "PAGE,3\n", 1);
    expect_warning(run, "PRN_MODE のページ数は 1 ですが、PRN_CHAR はその先にも続きます：2ページ");
    EXPECT_EQ(run.texts, std::vector<std::string>{"一"});
}

TEST(lost_parts, texts_of_a_block_without_height_are_told) {
    const Conversion run = convert(
        "no_height",
        page_1 + "BLOCK,3,200,420,1900,420,0,0\nLABEL,200,37.04,0,0,\"消\"\n" + "PAGE,2\n", 1);
    expect_warning(run, "ブロックに高さがないため文字を出力できません：1ページ、ブロック 3");
}

TEST(lost_parts, characters_that_are_not_shift_jis_are_counted_once) {
    // Two characters of a row Shift_JIS leaves empty, on page 2.
    const Conversion run = convert("not_sjis", page_1 + "PAGE,2\nBLOCK,2,200,200,1900,420,0,0\n", 2,
                                   "LABEL,200,37.04,0,0,\"\x85\x40\x85\x41\"\r\nPAGE,3\r\n");
    expect_warning(
        run, "Shift_JIS として正しくない文字 2 個を「\uFFFD」に置き換えました：最初は 2ページ");
}

TEST(lost_parts, a_lead_byte_alone_before_the_closing_quote_is_counted) {
    // In a line of text and in a table cell, both on page 2.
    const Conversion run =
        convert("lone_lead", page_1 + "PAGE,2\nBLOCK,2,200,200,1900,420,0,0\n", 2,
                "LABEL,200,37.04,0,0,\"ab\x93\"\r\nMATRIX,1,1,2,0,60,T,100\r\n"
                "C,0,0,001111,1,100,\"cd\x93\"\r\nPAGE,3\r\n");
    expect_warning(
        run, "Shift_JIS として正しくない文字 2 個を「\uFFFD」に置き換えました：最初は 2ページ");
    EXPECT_EQ(run.texts, (std::vector<std::string>{"一", "ab\uFFFD"}));
}

TEST(lost_parts, a_block_cut_to_the_line_limit_names_its_page_and_block) {
    const Conversion run = convert(
        "tall_block",
        page_1 + "PAGE,2\nBLOCK,2,200,0,1900,2408,0,0\nLABEL,200,37.04,0,0,\"二\"\n" + "PAGE,3\n",
        2);
    EXPECT_EQ(run.progress.warnings,
              std::vector<std::string>{"ブロックサイズが制限を超えました：2ページ、ブロック 2"});
    EXPECT_EQ(run.texts, (std::vector<std::string>{"一", "二"}));
}

TEST(lost_parts, cell_lines_beyond_the_table_are_skipped_whole_and_told) {
    // The extra cell's text is "PAGE": read field by field it would have ended the page.
    const Conversion run = convert("extra_cells",
                                   page_1 + "MATRIX,1,1,2,0,60,T,100\nC,0,0,001111,1,100,\"表\"\n" +
                                       "C,0,1,001111,1,100,\"PAGE\"\nC,0,2,001111,1,100,\"x\"\n" +
                                       "LABEL,200,74.08,0,0,\"後\"\n" + page_2 + "PAGE,3\n",
                                   2);
    expect_warning(run, "MATRIX の行数・列数を超えるセル行があります：1ページ");
    EXPECT_TRUE(run.progress.messages.empty());
    EXPECT_EQ(run.progress.progress, 2);
}

}  // namespace
