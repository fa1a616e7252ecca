// bench_sorbel JOB_DIR [--sheet-pages N] [--figures-only] [--finish]
// Runs the Excel route's figure pass and workbook build over a job as sorbel does (no window;
// the workbook goes to JOB_DIR/bench.xlsx on the templates beside this program), and reports
// the wall time of each stage and the process's peak memory. --finish also runs the last
// stage (the runs, A1 and the save) over the built workbook and reports its time.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "base/run_time_error.h"
#include "graphics/metafile_pass.h"
#include "jobfiles/prn_mode.h"
#include "platform/os/program_folder.h"
#include "sorbel/driver/settings.h"
#include "sorbel/stage_wiring.h"
#include "sorbel/workbook/make_xls_file.h"
#include "sorbel/workbook/set_updown_excel.h"

namespace {

class SilentView : public graphics::MetafilePassView, public workbook::StageView {
  public:
    void set_status(const std::string&) override {}
    void start_progress(int) override {}
    void step_progress() override {}
    void yield() override {}
    bool cancel_requested() const override { return false; }
    void show_error(const std::string& title, const std::string& text) override {
        std::cerr << title << ": " << text << "\n";
    }
    void set_cancel_enabled(bool) override {}
    void set_busy_pointer(bool) override {}
    void show_message(workbook::BoxIcon, const std::string& title,
                      const std::string& text) override {
        std::cerr << title << ": " << text << "\n";
    }
    void add_warning(const std::string& line) override { std::cerr << line << "\n"; }
};

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: bench_sorbel JOB_DIR [--sheet-pages N] [--figures-only] [--finish]\n";
        return 2;
    }
    const std::filesystem::path job_dir = argv[1];
    std::int16_t sheet_pages = 50;
    bool figures_only = false;
    bool finish = false;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--sheet-pages" && i + 1 < argc) {
            sheet_pages = static_cast<std::int16_t>(std::stoi(argv[++i]));
        } else if (arg == "--figures-only") {
            figures_only = true;
        } else if (arg == "--finish") {
            finish = true;
        }
    }
    try {
        const auto job = jobfiles::load_sorbel_prn_mode(job_dir / "PRN_MODE");
        const auto mode = driver::derive_mode_settings(job, 0, os::program_folder());
        if (!mode) {
            std::cerr << "bench_sorbel: no template for character size " << job.Char_Size << "\n";
            return 1;
        }
        std::filesystem::create_directories(job_dir / "META_FILE");
        SilentView view;
        const driver::SorbelSettings settings{.job_dir = job_dir,
                                              .program_dir = os::program_folder(),
                                              .xls = {.Start_Page = 1,
                                                      .End_Page = job.Page_Count,
                                                      .Xls_File = job_dir / "bench.xlsx",
                                                      .Sheet_SW = 1,
                                                      .Sheet_Page = sheet_pages,
                                                      .Cell_Wide = 0,
                                                      .Line_Thin = 0},
                                              .mode = *mode};

        const auto start = std::chrono::steady_clock::now();
        const auto pass = graphics::Make_MetaFile(sorbel::metafile_pass_settings(settings), 1,
                                                  job.Page_Count, view);
        const double pass_seconds = seconds_since(start);
        if (pass != graphics::PassOutcome::completed) return 1;

        double build_seconds = 0;
        double finish_seconds = 0;
        if (!figures_only) {
            const auto build_start = std::chrono::steady_clock::now();
            const auto built = workbook::Make_XlsFile(sorbel::workbook_settings(settings), view);
            build_seconds = seconds_since(build_start);
            if (built != workbook::StageOutcome::completed) return 1;
            if (finish) {
                const auto finish_start = std::chrono::steady_clock::now();
                const auto finished =
                    workbook::Set_UpDown_Excel(sorbel::workbook_settings(settings), view);
                finish_seconds = seconds_since(finish_start);
                if (finished != workbook::StageOutcome::completed) return 1;
            }
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf(
            "%d pages: figures %.3f s, workbook %.3f s, together %.3f s, peak memory %.0f MB\n",
            job.Page_Count, pass_seconds, build_seconds, pass_seconds + build_seconds,
            static_cast<double>(usage.ru_maxrss) / 1024);
        if (finish) std::printf("finishing stage %.3f s\n", finish_seconds);
        return 0;
    } catch (const base::RunTimeError& error) {
        std::cerr << "bench_sorbel: " << error.what() << "\n";
        return 1;
    }
}
