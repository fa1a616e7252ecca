// Jobs long enough to run past the 16-bit numbers a short report never reaches.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ooxml/package_reader.h"
#include "test_job.h"
#include "varnel/wordbuilder/word_builder.h"

namespace {

using namespace wordbuilder::testing;
using wordbuilder::WordRunOutcome;

std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Blocks are numbered through the job, as the host numbers them: a job of 33 000 blocks
// numbers them past 32 767. Each page holds 30 one-line blocks; the figures of the blocks
// on either side of the 16-bit limit and of the last block pair with their text by number.
TEST(long_job, block_numbers_past_32767_pair_text_and_figures) {
    constexpr int pages = 1100;
    constexpr int blocks_per_page = 30;
    std::string text = "PAGE,0\n";
    std::string pict = "PRN_PICT\n";
    int number = 0;
    for (int page = 1; page <= pages; ++page) {
        for (int b = 0; b < blocks_per_page; ++b) {
            ++number;
            const int y1 = 200 + 40 * b;
            const std::string header = std::to_string(number) + ",200," + std::to_string(y1) +
                                       ",1900," + std::to_string(y1 + 37) + ",0,0\n";
            text += "BLOCK," + header + "LABEL,200,37.04,0,0,\"B" + std::to_string(number) + "\"\n";
            pict += "BLOCK," + header;
            if (number == 32767 || number == 32768 || number == 33000) {
                pict += "LINE,10,10,500,10,0,3\n";
            }
        }
        text += "PAGE," + std::to_string(page) + "\n";
        pict += "PAGE\n";
    }
    ASSERT_EQ(number, 33000);

    TempFolder job("long_job");
    write_job_file(job.path() / "PRN_CHAR", text);
    write_job_file(job.path() / "PRN_PICT", pict);
    RecordingProgress progress;
    ASSERT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), pages), progress),
              WordRunOutcome::completed)
        << (progress.messages.empty() ? "" : progress.messages.front());
    EXPECT_TRUE(progress.warnings.empty()) << progress.warnings.front();
    for (const char* name : {"32767.emf", "32768.emf", "33000.emf"}) {
        EXPECT_TRUE(std::filesystem::exists(job.path() / "META_FILE" / name)) << name;
    }

    const ooxml::PackageReader docx(job.path() / "文書.docx");
    const std::string body = docx.read("word/document.xml");
    EXPECT_EQ(count_of(body, "<w:drawing>"), 3u);
    EXPECT_EQ(count_of(body, ">B"), 33000u);
    EXPECT_NE(body.find(">B33000<"), std::string::npos);
}

}  // namespace
