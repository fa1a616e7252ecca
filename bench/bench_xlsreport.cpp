// bench_xlsreport [PAGES]
// Fills and saves a workbook through the report library alone, the way the workbook build
// drives it: 50 pages a sheet, 50 text lines and 3 block metafiles a page, a page break after
// each page. Reports the wall time of the build and of the save, and the peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/whole_file.h"
#include "platform/emf/gdi.h"
#include "platform/xlsreport/xls_report.h"

namespace {

constexpr std::int32_t grid_rows = 65;
constexpr std::int32_t pages_per_sheet = 50;

// A block metafile of the size the metafile pass leaves; each page and block gets its own copy
// (its bounds told apart), so that no two pictures are the same media.
std::string block_metafile(const std::filesystem::path& folder) {
    const auto file = folder / "block.emf";
    emf::Gdi gdi;
    const emf::HDC dc = gdi.CreateEnhMetaFileA(file, {0, 0, 15000, 3000}, "block");
    gdi.SetMapMode(dc, emf::MM_HIMETRIC);
    for (int i = 0; i < 20; ++i) {
        gdi.MoveToEx(dc, i * 700, 0, nullptr);
        gdi.LineTo(dc, i * 700 + 300, -3000);
    }
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(dc));
    return base::load_file(file);
}

double seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::stoi(argv[1]) : 1000;
    const auto folder = std::filesystem::temp_directory_path() / "bench_xlsreport";
    std::filesystem::create_directories(folder);
    const std::string metafile = block_metafile(folder);
    std::vector<std::string> pictures;
    for (int n = 0; n < pages * 3; ++n) {
        std::string picture = metafile;
        // The right edge of the header's bounds (bytes 16 to 19).
        for (int k = 0; k < 4; ++k)
            picture[static_cast<std::size_t>(16 + k)] = static_cast<char>(n >> (8 * k));
        pictures.push_back(std::move(picture));
    }
    const std::string line =
        "  \x8c\x8e\x8e\x9f\x94\x84\x8f\xe3\x95\xf1\x8d\x90 " + std::string(60, '0');

    const auto start = std::chrono::steady_clock::now();
    xlsreport::XlsReport report;
    const auto program = std::filesystem::absolute(argv[0]).parent_path();
    bool ok = report.PutFileName((program / "TMP-12P.xlsx").string()) && report.StartFile();
    std::int32_t row = 0;
    for (int page = 0; ok && page < pages; ++page) {
        if (page % pages_per_sheet == 0) {
            ok = report.PageBegin("sheet1", "1") && report.PageAttrMargin(20, 0, 15, 10, 0, 0);
            report.Pos(0, 0, 0, grid_rows * pages_per_sheet);
            report.PutRowHeight(12.75);
            row = 0;
        }
        for (int l = 0; l < 50; ++l) {
            report.Pos(0, row + l, -1, -1);
            report.AttrPutFontName("\x82\x6c\x82\x72 \x96\xbe\x92\xa9");
            report.PutValueString(line);
        }
        for (int block = 0; block < 3; ++block) {
            report.Pos(0, row + block * 20, -1, -1);
            report.CanvasDraw(pictures[static_cast<std::size_t>(page * 3 + block)], 0.7, 0, 425,
                              85);
            report.ReleasePicture(report.GetPicture());
        }
        row += 60;
        report.Pos(86, row, -1, -1);
        report.PutBreak(-1);
        if (page % pages_per_sheet == pages_per_sheet - 1 || page == pages - 1) {
            report.PageName("Page " + std::to_string(page / pages_per_sheet * pages_per_sheet + 1) +
                            "\x81\x60" + std::to_string(page + 1));
            report.RowDelete(row, grid_rows * pages_per_sheet - row - 1);
            ok = report.PageEnd();
        }
    }
    const double built = seconds(start);
    const auto save_start = std::chrono::steady_clock::now();
    ok = ok && report.OutFile((folder / "bench.xlsx").string(), -1) && report.Release();
    const double saved = seconds(save_start);
    if (!ok) {
        std::string message;
        report.GetErrorMessage(message);
        std::fprintf(stderr, "error %d: %s\n", report.GetErrorNo(), message.c_str());
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d pages: build %.3f s, save %.3f s, %.1f MB written, peak memory %ld MB\n", pages,
                built, saved,
                static_cast<double>(std::filesystem::file_size(folder / "bench.xlsx")) / 1e6,
                usage.ru_maxrss / 1024);
    return 0;
}
