#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_job.h"
#include "varnel/wordbuilder/word_builder.h"

namespace {

using namespace wordbuilder::testing;
using wordbuilder::WordRunOutcome;

// Line height 37.04 and title height 42.33 tenths of a millimetre; columns 18.52 wide from
// the 200 margin.
const char* const two_page_text =
    "PAGE,1\n"
    "BLOCK,1,200,200,1900,420,0,1\n"
    "TITLE,200,42.33,0,0,\"売上報告書\"\n"
    "LABEL,200,79.37,0,0,\"第1四半期, 東京支店\"\n"
    "BLOCK,2,200,420,1900,790,0,0\n"
    "LABEL,200,37.04,0,0,\"H O\"\n"
    "SMOJI,218.52,37.04,\"2\"\n"
    "LABEL,200,74.08,0,0,\"x  = 4\"\n"
    "UMOJI,218.52,74.08,\"2\"\n"
    "LABEL,237.04,111.12,0,0,\"ｶﾀｶﾅ<&>\a\"\n"
    "PAGE,2\n"
    "BLOCK,3,200,200,1900,311,0,0\n"
    "LABEL,200,37.04,0,0,\"２ページ目\"\n"
    "PAGE,3\n";

const char* const two_page_pict =
    "PRN_PICT\n"
    "BLOCK,1,200,200,1900,420,0,0\n"
    "BLOCK,2,200,420,1900,790,0,0\n"
    "PAGE\n"
    "BLOCK,3,200,200,1900,311,0,0\n"
    "PAGE\n";

std::vector<std::string> paragraphs_of(const std::vector<std::string>& dump) {
    std::vector<std::string> out;
    for (const auto& line : dump) {
        if (line.rfind("P|", 0) == 0 || line == "B") out.push_back(line);
    }
    return out;
}

TEST(word_run, writes_one_paragraph_per_grid_line_with_titles_and_scripts) {
    TempFolder job("two_pages");
    write_job_file(job.path() / "PRN_CHAR", two_page_text);
    write_job_file(job.path() / "PRN_PICT", two_page_pict);
    RecordingProgress progress;
    auto settings = settings_for(job.path(), 2);

    ASSERT_EQ(wordbuilder::buildWordDocument(settings, progress), WordRunOutcome::completed)
        << (progress.messages.empty() ? "" : progress.messages.front());
    const auto dump = dump_docx(job.path() / "文書.docx");
    const auto paragraphs = paragraphs_of(dump);
    ASSERT_GE(paragraphs.size(), 18u);
    EXPECT_EQ(paragraphs[0], "P|Heading 1|-|-|売上報告書|");
    EXPECT_EQ(paragraphs[1], "P|Normal|10.50|EXACTLY|第1四半期, 東京支店|");
    EXPECT_EQ(paragraphs[6], "P|Normal|10.50|EXACTLY|H2O|2:sub,pos2");
    EXPECT_EQ(paragraphs[7], "P|Normal|10.50|EXACTLY|x2 = 4|2:sup,pos-2");
    // XML-significant characters survive; a control character becomes a visible substitute.
    EXPECT_EQ(paragraphs[8], "P|Normal|10.50|EXACTLY|  ｶﾀｶﾅ<&>\uFFFD|");
    // Title block: 6 lines, text block: 10 lines, then the page break and page 2's 3 lines.
    EXPECT_EQ(paragraphs[16], "B");
    EXPECT_EQ(paragraphs[17], "P|Normal|10.50|EXACTLY|２ページ目|");
    EXPECT_EQ(std::count(dump.begin(), dump.end(), "M|56.7|56.7|56.7|56.7"), 1);
    // The last page ends the document: no page break and so no blank page after it.
    EXPECT_EQ(paragraphs.back(), "P|Normal|10.50|EXACTLY||");
    EXPECT_EQ(std::count(paragraphs.begin(), paragraphs.end(), "B"), 1);
    EXPECT_EQ(progress.progress, 2);
    EXPECT_EQ(progress.labels.back(), "Page 2/2");
    EXPECT_TRUE(progress.messages.empty());
}

TEST(word_run, page_range_skips_earlier_pages_in_both_files) {
    TempFolder job("range");
    write_job_file(job.path() / "PRN_CHAR", two_page_text);
    write_job_file(job.path() / "PRN_PICT", two_page_pict);
    RecordingProgress progress;
    auto settings = settings_for(job.path(), 2);
    settings.Start_Page = 2;

    ASSERT_EQ(wordbuilder::buildWordDocument(settings, progress), WordRunOutcome::completed);
    const auto paragraphs = paragraphs_of(dump_docx(job.path() / "文書.docx"));
    ASSERT_FALSE(paragraphs.empty());
    EXPECT_EQ(paragraphs[0], "P|Normal|10.50|EXACTLY|２ページ目|");
    EXPECT_EQ(progress.labels.front(), "Page 2/2");
}

// Five pages of one line each: "ページn".
void write_five_pages(const std::filesystem::path& dir) {
    std::string text = "PAGE,0\n";
    std::string pict = "PRN_PICT\n";
    for (int page = 1; page <= 5; ++page) {
        text += "BLOCK," + std::to_string(page) + ",200,200,1900,237,0,0\n";
        text += "LABEL,200,37.04,0,0,\"ページ" + std::to_string(page) + "\"\n";
        text += "PAGE," + std::to_string(page) + "\n";
        pict += "BLOCK," + std::to_string(page) + ",200,200,1900,237,0,0\nPAGE\n";
    }
    write_job_file(dir / "PRN_CHAR", text);
    write_job_file(dir / "PRN_PICT", pict);
}

std::string texts_of(const std::filesystem::path& file) {
    std::string texts;
    for (const auto& line : paragraphs_of(dump_docx(file))) {
        if (line == "B") continue;
        const auto text_start = line.find('|', line.find('|', line.find('|', 2) + 1) + 1) + 1;
        texts += line.substr(text_start, line.find('|', text_start) - text_start);
    }
    return texts;
}

TEST(word_run, splitting_saves_a_part_every_n_pages) {
    TempFolder job("split");
    write_five_pages(job.path());
    RecordingProgress progress;
    progress.file_name = "文書1.docx";
    auto settings = settings_for(job.path(), 5);
    settings.Split_SW = true;
    settings.Split_Page = 2;

    ASSERT_EQ(wordbuilder::buildWordDocument(settings, progress), WordRunOutcome::completed);
    EXPECT_EQ(texts_of(job.path() / "文書1.docx"), "ページ1ページ2");
    EXPECT_EQ(texts_of(job.path() / "文書2.docx"), "ページ3ページ4");
    EXPECT_EQ(texts_of(job.path() / "文書3.docx"), "ページ5");
    EXPECT_FALSE(std::filesystem::exists(job.path() / "文書4.docx"));
    EXPECT_EQ(progress.file_name, "文書3.docx");
}

TEST(word_run, splitting_by_one_page_ends_with_an_empty_part) {
    TempFolder job("split_one");
    write_five_pages(job.path());
    RecordingProgress progress;
    progress.file_name = "文書1.docx";
    auto settings = settings_for(job.path(), 5);
    settings.Split_SW = true;
    settings.Split_Page = 1;

    ASSERT_EQ(wordbuilder::buildWordDocument(settings, progress), WordRunOutcome::completed);
    for (int part = 1; part <= 5; ++part) {
        EXPECT_EQ(texts_of(job.path() / ("文書" + std::to_string(part) + ".docx")),
                  "ページ" + std::to_string(part));
    }
    EXPECT_EQ(texts_of(job.path() / "文書6.docx"), "");
}

TEST(word_run, cancel_saves_nothing) {
    TempFolder job("cancel");
    write_five_pages(job.path());
    RecordingProgress progress;
    progress.cancel_after_yields = 4;
    auto settings = settings_for(job.path(), 5);

    EXPECT_EQ(wordbuilder::buildWordDocument(settings, progress), WordRunOutcome::cancelled);
    EXPECT_FALSE(std::filesystem::exists(job.path() / "文書.docx"));
    EXPECT_TRUE(progress.messages.empty());
}

TEST(word_run, errors_end_the_run_with_their_description_and_no_file) {
    TempFolder job("errors");
    write_five_pages(job.path());
    {
        RecordingProgress progress;
        auto settings = settings_for(job.path(), 5);
        settings.path_txt = job.path() / "no such folder";
        EXPECT_EQ(wordbuilder::buildWordDocument(settings, progress), WordRunOutcome::failed);
        ASSERT_EQ(progress.messages.size(), 1u);
        EXPECT_EQ(progress.messages[0].rfind("|", 0), 0u) << "no title";
    }
    {
        write_job_file(job.path() / "PRN_CHAR",
                       "PAGE,0\nBLOCK,1,200,200,1900,300,0,0\nLABEL,200,9999,0,0,\"x\"\nPAGE,1\n");
        RecordingProgress progress;
        EXPECT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), 1), progress),
                  WordRunOutcome::failed);
        ASSERT_EQ(progress.messages.size(), 1u);
        EXPECT_NE(progress.messages[0].find("1ページ"), std::string::npos) << progress.messages[0];
        EXPECT_FALSE(std::filesystem::exists(job.path() / "文書.docx"));
    }
    {
        // A job folder whose META_FILE is not a folder: figures have nowhere to go.
        write_five_pages(job.path());
        std::filesystem::remove_all(job.path() / "META_FILE");
        write_job_file(job.path() / "META_FILE", "");
        RecordingProgress progress;
        EXPECT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), 5), progress),
                  WordRunOutcome::failed);
        ASSERT_EQ(progress.messages.size(), 1u);
        EXPECT_EQ(progress.messages[0].rfind("|パス名が無効です。\n", 0), 0u);
        EXPECT_NE(progress.messages[0].find("META_FILE"), std::string::npos);
        std::filesystem::remove(job.path() / "META_FILE");
    }
    {
        std::filesystem::remove(job.path() / "PRN_PICT");
        RecordingProgress progress;
        EXPECT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), 1), progress),
                  WordRunOutcome::failed);
        ASSERT_EQ(progress.messages.size(), 1u);
        // Which of the job files is missing.
        EXPECT_EQ(progress.messages[0].rfind("|ファイルが見つかりません。\n", 0), 0u);
        EXPECT_NE(progress.messages[0].find("PRN_PICT"), std::string::npos) << progress.messages[0];
    }
}

TEST(word_run, a_page_whose_figures_name_fewer_blocks_keeps_all_its_text) {
    TempFolder job("fewer_blocks");
    write_job_file(job.path() / "PRN_CHAR",
                   "PAGE,0\nBLOCK,1,200,200,1900,237,0,0\nLABEL,200,37.04,0,0,\"first\"\n"
                   "BLOCK,2,200,237,1900,274,0,0\nLABEL,200,37.04,0,0,\"second\"\nPAGE,1\n");
    write_job_file(job.path() / "PRN_PICT", "PRN_PICT\nBLOCK,1,200,200,1900,237,0,0\nPAGE\n");
    RecordingProgress progress;
    ASSERT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), 1), progress),
              WordRunOutcome::completed);
    EXPECT_EQ(texts_of(job.path() / "文書.docx"), "firstsecond");
}

TEST(word_run, tall_blocks_are_cut_to_64_lines_with_a_warning) {
    TempFolder job("tall");
    write_job_file(job.path() / "PRN_CHAR",
                   "PAGE,0\nBLOCK,1,200,0,1900,2408,0,0\nLABEL,200,37.04,0,0,\"top\"\nPAGE,1\n");
    write_job_file(job.path() / "PRN_PICT", "PRN_PICT\nBLOCK,1,200,0,1900,2408,0,0\nPAGE\n");
    RecordingProgress progress;
    ASSERT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), 1), progress),
              WordRunOutcome::completed);
    const auto paragraphs = paragraphs_of(dump_docx(job.path() / "文書.docx"));
    EXPECT_EQ(std::count_if(paragraphs.begin(), paragraphs.end(),
                            [](const std::string& p) { return p.rfind("P|Normal|10.50", 0) == 0; }),
              64 + 1);
    EXPECT_EQ(progress.warnings,
              std::vector<std::string>{"ブロックサイズが制限を超えました：1ページ、ブロック 1"});
}

}  // namespace
