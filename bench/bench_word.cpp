// bench_word JOB_DIR [--tables table|drawing]
// Converts a job to .docx through the Word route as varnel does (no window), and reports the
// wall time of the run and the process's peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "base/run_time_error.h"
#include "jobfiles/prn_mode.h"
#include "varnel/wordbuilder/word_builder.h"

namespace {

class SilentProgress : public wordbuilder::ProgressView {
  public:
    void set_page_label(const std::string&) override {}
    void set_progress_value(int) override {}
    std::string document_file_name() const override { return name_; }
    void set_document_file_name(const std::string& name) override { name_ = name; }
    void add_warning(const std::string&) override {}
    bool cancel_requested() const override { return false; }
    void yield() override {}
    void show_message(const std::string& title, const std::string& text) override {
        std::cerr << "message: " << title << " " << text << "\n";
    }

  private:
    std::string name_ = "bench.docx";
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: bench_word JOB_DIR [--tables table|drawing]\n";
        return 2;
    }
    const std::filesystem::path job_dir = argv[1];
    const bool drawing = argc >= 4 && std::string_view(argv[2]) == "--tables" &&
                         std::string_view(argv[3]) == "drawing";
    try {
        const jobfiles::VarnelJobSettings job =
            jobfiles::load_varnel_prn_mode(job_dir / "PRN_MODE");
        wordbuilder::WordRunSettings settings;
        settings.job_dir = job_dir;
        settings.Char_Size = job.Char_Size;
        settings.Font_Name = job.Font_Name;
        settings.Margin_Left = job.Margin_Left;
        settings.Margin_Top = job.Margin_Top;
        settings.Margin_Right = job.Margin_Right;
        settings.Margin_Bottom = job.Margin_Bottom;
        settings.Page_Count = job.Page_Count;
        settings.Line_Pitch = job.Line_Pitch;
        settings.Start_Page = 1;
        settings.End_Page = job.Page_Count;
        settings.Matrix_SW = !drawing;
        settings.Doc_Name = "bench";
        settings.path_txt = job_dir;

        SilentProgress progress;
        const auto start = std::chrono::steady_clock::now();
        const auto outcome = wordbuilder::buildWordDocument(settings, progress);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%d pages, tables as %s: %.2f s, peak memory %.0f MB, %s\n", job.Page_Count,
                    drawing ? "drawings" : "Word tables", seconds.count(),
                    static_cast<double>(usage.ru_maxrss) / 1024,
                    outcome == wordbuilder::WordRunOutcome::completed ? "saved" : "FAILED");
        return outcome == wordbuilder::WordRunOutcome::completed ? 0 : 1;
    } catch (const base::RunTimeError& error) {
        std::cerr << "bench_word: " << error.what() << "\n";
        return 1;
    }
}
