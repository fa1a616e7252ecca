// Builds a 1000-page text document the way the Word document builder does (one range,
// insert-after-and-collapse, a few script runs per page, a title and a picture per page) and
// saves it; prints the time of each step.
//
// Usage: word_save [pages] [output folder]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/word/word.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// An enhanced metafile header and end record: a picture with a 50 x 30 mm frame.
std::string small_metafile() {
    std::string e;
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) e.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    for (std::uint32_t v :
         {1u, 88u, 0u, 0u, 190u, 113u, 0u, 0u, 5000u, 3000u, 0x464D4520u, 0x10000u, 108u, 2u}) {
        u32(v);
    }
    u32(1);  // handles (16 bits) and a reserved 16-bit field
    for (std::uint32_t v : {0u, 0u, 0u, 1024u, 768u, 320u, 240u}) u32(v);
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) u32(v);
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::filesystem::path folder =
        argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    const auto picture = folder / ("word_save_bench_" + std::to_string(getpid()) + ".emf");
    std::ofstream(picture, std::ios::binary) << small_metafile();

    const auto start = Clock::now();
    word::Application app;
    word::Document doc = app.Documents().Add();
    word::Range out = doc.Range();
    out.Font().Name("ＭＳ 明朝");
    out.Font().Size(10.5f);
    doc.Paragraphs().LineSpacingRule(word::wdLineSpaceExactly);
    doc.Paragraphs().LineSpacing(10.5f);
    const std::string line = "品名　ＡＢＣ－１２３　数量 1,234 単価 5,678 金額 7,006,652 摘要 H2O";
    for (int page = 0; page < pages; ++page) {
        const std::int32_t page_start = doc.Range().End();
        out.Collapse(word::wdCollapseEnd);
        out.ParagraphFormat().LineSpacing(16);
        out.InsertAfter("月次報告書 第" + std::to_string(page + 1) + "頁\r");
        out.Style(word::wdStyleHeading1);
        out.Collapse(word::wdCollapseEnd);
        out.ParagraphFormat().LineSpacing(10.5f);
        for (int i = 1; i < 64; ++i) {
            out.Collapse(word::wdCollapseEnd);
            out.InsertAfter(line);
            out.Collapse(word::wdCollapseEnd);
            if (i % 16 == 0) {
                const std::int32_t e = doc.Content().End();
                out.SetRange(e - 2, e - 1);
                out.Font().Subscript(true);
                out.Font().Position(1);
                out.SetRange(e, e);
                out.Collapse(word::wdCollapseEnd);
                out.Font().Subscript(false);
                out.Font().Position(0);
            }
            out.InsertAfter("\r");
        }
        out.SetRange(page_start, page_start);
        word::Shape s = doc.Shapes().AddPicture(picture, false, true, 0, 0, 100, 60, out);
        s.WrapFormat().Type(word::wdWrapNone);
        s.RelativeHorizontalPosition(word::wdRelativeHorizontalPositionPage);
        s.RelativeVerticalPosition(word::wdRelativeVerticalPositionPage);
        s.Left(50);
        s.Top(80);
        s.ZOrder(word::msoSendBehindText);
        out.SetRange(doc.Content().End(), doc.Content().End());
        out.InsertBreak(word::wdPageBreak);
    }
    const double built = seconds_since(start);
    const auto save_start = Clock::now();
    const auto file = folder / ("word_save_bench_" + std::to_string(getpid()) + ".docx");
    doc.SaveAs(file);
    const double saved = seconds_since(save_start);
    std::printf("pages %d  paragraphs %d  build %.3f s  save %.3f s  file %.1f MB\n", pages,
                doc.Paragraphs().Count(), built, saved,
                static_cast<double>(std::filesystem::file_size(file)) / 1e6);
    std::filesystem::remove(file);
    std::filesystem::remove(picture);
    app.Quit();
    return 0;
}
