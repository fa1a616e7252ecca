// bench_tables [PAGES [table|drawing]]
// Times the Word route over a job of PAGES pages (default 1000) that each hold one heading line
// and one ruled table of 6 rows and 5 columns, with tables as Word tables and as drawings (or
// in the one mode named, for a profiler).
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "base/cp932.h"
#include "varnel/wordbuilder/word_builder.h"

namespace {

class SilentProgress : public wordbuilder::ProgressView {
  public:
    void set_page_label(const std::string&) override {}
    void set_progress_value(int) override {}
    std::string document_file_name() const override { return "tables.docx"; }
    void set_document_file_name(const std::string&) override {}
    void add_warning(const std::string&) override {}
    bool cancel_requested() const override { return false; }
    void yield() override {}
    void show_message(const std::string& title, const std::string& text) override {
        std::cerr << "message: " << title << " " << text << "\n";
    }
};

// One table a page: a centred header row, four rows of a name and right-aligned figures (one
// with a raised mark), and a total row whose label spans two columns. Block numbers run
// through the job, so that every drawn table has a file of its own.
void write_job(const std::filesystem::path& folder, int pages) {
    const char* const widths[] = {"300", "250", "250", "250", "250"};
    std::string text = "PAGE,0\r\n";
    std::string pict = "PRN_PICT\r\n";
    for (int page = 1; page <= pages; ++page) {
        const std::string block = std::to_string(page) + ",200,200,1900,600,0,0\r\n";
        text += "BLOCK," + block;
        text += "LABEL,200,37.04,0,0,\"■支店別売上　第" + std::to_string(page) + "表\"\r\n";
        text += "MATRIX,6,5,1,50,60,T1,300,250,250,250,250\r\n";
        for (int r = 0; r < 6; ++r) {
            for (int c = 0; c < 5; ++c) {
                std::string cell;
                int kind = 7;
                if (r == 0) {
                    const char* const heads[] = {"支店", "4月", "5月", "6月", "計$U※$Z"};
                    cell = heads[c];
                    kind = 4;
                } else if (r == 5 && c == 1) {
                    cell = "@";
                } else if (c == 0) {
                    cell = r == 5 ? "合計" : "支店" + std::to_string(r);
                    kind = 1;
                } else {
                    cell = std::to_string(1000 * r + 37 * c + page % 100) + ",000";
                }
                text += "C," + std::to_string(r) + "," + std::to_string(c) + "," +
                        (r == 5 ? "001111" : "001110") + "," + std::to_string(kind) + "," +
                        widths[c] + ",\"" + cell + "\"\r\n";
            }
        }
        text += "PAGE," + std::to_string(page) + "\r\n";
        pict += "BLOCK," + block + "PAGE\r\n";
    }
    std::filesystem::create_directories(folder / "META_FILE");
    std::ofstream(folder / "PRN_CHAR", std::ios::binary) << cp932::from_utf8(text);
    std::ofstream(folder / "PRN_PICT", std::ios::binary) << pict;
}

double convert(const std::filesystem::path& folder, int pages, bool word_tables) {
    wordbuilder::WordRunSettings settings;
    settings.job_dir = folder;
    settings.Char_Size = 10.5f;
    settings.Font_Name = cp932::from_utf8("ＭＳ 明朝");
    settings.Margin_Left = settings.Margin_Top = settings.Margin_Right = settings.Margin_Bottom =
        200;
    settings.Line_Pitch = 12;
    settings.Page_Count = static_cast<std::int16_t>(pages);
    settings.End_Page = settings.Page_Count;
    settings.Matrix_SW = word_tables;
    settings.Doc_Name = "tables";
    settings.path_txt = folder;
    SilentProgress progress;
    const auto start = std::chrono::steady_clock::now();
    const wordbuilder::WordRunOutcome outcome = wordbuilder::buildWordDocument(settings, progress);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (outcome != wordbuilder::WordRunOutcome::completed) {
        std::cerr << "bench_tables: the run did not complete\n";
        std::exit(1);
    }
    return took.count();
}

}  // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string only = argc > 2 ? argv[2] : "";
    if (pages < 1 || pages > 32767 || (!only.empty() && only != "table" && only != "drawing")) {
        std::cerr << "usage: bench_tables [PAGES [table|drawing]]\n";
        return 2;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench_tables_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    write_job(folder, pages);
    std::cout << pages << " pages, one 6 x 5 table each\n";
    for (const bool word_tables : {true, false}) {
        if (only == (word_tables ? "drawing" : "table")) continue;
        const double seconds = convert(folder, pages, word_tables);
        std::cout << (word_tables ? "  tables as Word tables: " : "  tables as drawings:    ")
                  << seconds << " s, " << std::filesystem::file_size(folder / "tables.docx") / 1024
                  << " KiB\n";
    }
    std::filesystem::remove_all(folder);
    return 0;
}
