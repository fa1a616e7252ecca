// Where the text of a converted job really lands, as LibreOffice lays the document out.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_job.h"

namespace {

using namespace wordbuilder::testing;

constexpr double line_height = 105 / (72 / 25.4);  // tenths of a millimetre
constexpr double title_height = 120 / (72 / 25.4);

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string label(int column, double y, const std::string& text) {
    return "LABEL," + number(200 + (column - 1) * line_height / 2) + "," + number(y) + ",0,0,\"" +
           text + "\"\n";
}

// Two pages whose blocks lie on the line grid: a title block, then a block of texts at
// several columns, full-width, half-width and katakana. The figures name only each page's
// first block.
void write_grid_job(const std::filesystem::path& dir) {
    std::string text = "PAGE,0\n";
    std::string pict = "PRN_PICT\n";
    for (int page = 1; page <= 2; ++page) {
        const double title_bottom = 200 + title_height + 4 * line_height;
        text += "BLOCK,1,200,200,1900," + number(title_bottom) + ",0,1\n";
        text += "TITLE,200," + number(title_height) + ",0,0,\"月次報告 第" + std::to_string(page) +
                "版\"\n";
        text += label(1, title_height + line_height, "株式会社サンプル 営業部");
        text += label(41, title_height + 3 * line_height, "ﾚﾎﾟｰﾄID:SR-24 作成日");
        text += "BLOCK,2,200," + number(title_bottom) + ",1900," +
                number(title_bottom + 20 * line_height) + ",0,0\n";
        for (int row = 1; row <= 20; row += 3) {
            text += label(1 + row, row * line_height, "行" + std::to_string(row) + " 売上高");
            text += label(50, row * line_height, std::to_string(row * 1234) + " 円");
        }
        text += "PAGE," + std::to_string(page) + "\n";
        pict += "BLOCK,1,200,200,1900,400,0,0\nPAGE\n";
    }
    write_job_file(dir / "PRN_CHAR", text);
    write_job_file(dir / "PRN_PICT", pict);
}

TEST(word_render, every_text_lands_within_a_millimetre_of_its_place_on_its_page) {
    TempFolder job("render");
    write_grid_job(job.path());
    RecordingProgress progress;
    ASSERT_EQ(wordbuilder::buildWordDocument(settings_for(job.path(), 2), progress),
              wordbuilder::WordRunOutcome::completed);
    const std::string command = std::string("/usr/bin/python3 '") + VS_SOURCE_DIR +
                                "/tests/varnel/wordbuilder/check_text_positions.py' '" +
                                job.path().string() + "' '" + (job.path() / "文書.docx").string() +
                                "' 1.0 2 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
    EXPECT_EQ(pclose(pipe), 0) << output;
}

}  // namespace
