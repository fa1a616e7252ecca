// Where block figures really land, as LibreOffice lays the converted document out.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "page_graphics_job.h"

namespace {

using namespace wordbuilder::testing;

// Four pages: two blocks with text and figures; a page that opens with a block of figures
// only; a page in the middle and a last page with figures and no text at all.
const char* const text =
    "PAGE,0\n"
    "BLOCK,1,200,200,1900,600,0,0\n"
    "LABEL,200,37.04,0,0,\"本文一\"\n"
    "BLOCK,2,200,600,1900,1000,0,0\n"
    "LABEL,200,37.04,0,0,\"本文二\"\n"
    "PAGE,1\n"
    "BLOCK,3,200,200,1900,400,0,0\n"
    "BLOCK,4,200,400,1900,800,0,0\n"
    "LABEL,200,37.04,0,0,\"本文三\"\n"
    "PAGE,2\n"
    "BLOCK,6,200,200,1900,2000,0,0\n"
    "PAGE,3\n"
    "BLOCK,5,200,200,1900,2000,0,0\n"
    "PAGE,4\n";
const char* const pict =
    "PRN_PICT,4\n"
    "BLOCK,1,200,200,1900,600,0,0\n"
    "LABEL,300,200,100,0,0,\"図形甲\"\n"
    "LINE,0,0,1700,0,0,2\n"
    "BLOCK,2,200,600,1900,1000,0,0\n"
    "LABEL,1000,100,100,0,0,\"図形乙\"\n"
    "PAGE\n"
    "BLOCK,3,200,200,1900,400,0,0\n"
    "LABEL,500,150,100,0,0,\"図形丙\"\n"
    "BLOCK,4,200,400,1900,800,0,0\n"
    "LABEL,100,300,100,0,0,\"図形丁\"\n"
    "PAGE\n"
    "BLOCK,6,200,200,1900,2000,0,0\n"
    "LABEL,400,500,100,0,0,\"図形己\"\n"
    "PAGE\n"
    "BLOCK,5,200,200,1900,2000,0,0\n"
    "LABEL,800,1000,100,0,0,\"図形戊\"\n"
    "PAGE\n";

TEST(page_graphics_render, figure_texts_land_on_their_pages_within_a_millimetre) {
    if (std::system("command -v soffice >/dev/null && command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "LibreOffice or poppler is not installed";
    }
    GraphicsJob job("render", 4);
    ASSERT_EQ(job.convert(text, pict), wordbuilder::WordRunOutcome::completed);
    // Paper position of each text: the block's corner plus the record's x and cell bottom y.
    const std::string command = std::string("/usr/bin/python3 '") + VS_SOURCE_DIR +
                                "/tests/varnel/wordbuilder/page_graphics_render.py' '" +
                                job.docx().string() +
                                "' 1.0 1:50:40:図形甲 1:120:70:図形乙 2:70:35:図形丙 "
                                "2:30:70:図形丁 3:60:70:図形己 4:100:120:図形戊 2>&1";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
    EXPECT_EQ(pclose(pipe), 0) << output;
}

}  // namespace
