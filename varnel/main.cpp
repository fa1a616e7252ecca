// varnel: converts the print job in its folder (or --job-dir) into a Word document, or hands
// it to sorbel for an Excel workbook. A window when there is a display, the console otherwise.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "platform/os/program_folder.h"
#include "platform/os/termination.h"
#include "platform/ui/console_backend.h"
#include "platform/ui/qt/qt_backend.h"
#include "varnel/frontend/exit_status.h"
#include "varnel/frontend/startup.h"
#include "varnel/wordbuilder/word_builder.h"

namespace {

// The progress window as the Word run sees it. Every warning and every message of a run that
// goes on is something of the report the user must learn about: on a console each warning is
// a line on stderr as it comes; in the window they are listed in a message box at the end.
class ProgressWindow : public wordbuilder::ProgressView {
  public:
    ProgressWindow(frontend::Form1& form1, ui::Backend& ui, bool console)
        : form1_(form1), ui_(ui), console_(console) {}

    int notices() const { return notices_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

    void set_page_label(const std::string& utf8_caption) override {
        form1_.form().set_text("Label1", utf8_caption);
    }
    void set_progress_value(int value) override { form1_.form().set_value("ProgressBar1", value); }
    std::string document_file_name() const override { return form1_.form().text("doc_name"); }
    void set_document_file_name(const std::string& utf8_name) override {
        form1_.form().set_text("doc_name", utf8_name);
    }
    void add_warning(const std::string& utf8_line) override {
        form1_.form().add_item("List1", utf8_line);
        warnings_.push_back(utf8_line);
        ++notices_;
        if (console_) std::cerr << "varnel: " << utf8_line << '\n';
    }
    bool cancel_requested() const override { return form1_.Cansel_SW; }
    void yield() override { ui_.yield(); }
    void show_message(const std::string& utf8_title, const std::string& utf8_text) override {
        ui_.message_box(ui::MessageIcon::none, utf8_title, utf8_text);
        ++notices_;
    }

  private:
    frontend::Form1& form1_;
    ui::Backend& ui_;
    bool console_;
    int notices_ = 0;
    std::vector<std::string> warnings_;
};

// Shown when a run that told the user something still saved its document.
std::string warning_summary(const std::vector<std::string>& warnings) {
    std::string text = "文書を保存しましたが、帳票の一部が変換されていないか、変わっています。";
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < warnings.size() && i < shown; ++i) text += "\n" + warnings[i];
    if (warnings.size() > shown) {
        text += "\nほか " + std::to_string(warnings.size() - shown) + " 件";
    }
    return text;
}

class BuilderRun : public frontend::WordRun {
  public:
    BuilderRun(const std::filesystem::path& job_dir, ui::Backend& ui, bool console)
        : job_dir_(job_dir), ui_(ui), console_(console) {}

    int run(const jobfiles::VarnelJobSettings& job, const frontend::RunVariables& variables,
            const std::filesystem::path& output_folder, frontend::Form1& form1) override {
        const wordbuilder::WordRunSettings settings{.job_dir = job_dir_,
                                                    .Char_Size = job.Char_Size,
                                                    .Font_Name = job.Font_Name,
                                                    .Margin_Left = job.Margin_Left,
                                                    .Margin_Top = job.Margin_Top,
                                                    .Margin_Right = job.Margin_Right,
                                                    .Margin_Bottom = job.Margin_Bottom,
                                                    .Page_Count = job.Page_Count,
                                                    .Line_Pitch = job.Line_Pitch,
                                                    .Start_Page = variables.Start_Page,
                                                    .End_Page = variables.End_Page,
                                                    .Matrix_SW = variables.Matrix_SW,
                                                    .Doc_Name = variables.Doc_Name,
                                                    .Split_SW = variables.Split_SW,
                                                    .Split_Page = variables.Split_Page,
                                                    .path_txt = output_folder};
        ProgressWindow progress(form1, ui_, console_);
        switch (wordbuilder::buildWordDocument(settings, progress)) {
            case wordbuilder::WordRunOutcome::completed:
                if (progress.notices() == 0) return frontend::exit_converted;
                if (!progress.warnings().empty() && !console_) {
                    ui_.message_box(ui::MessageIcon::exclamation, "",
                                    warning_summary(progress.warnings()));
                }
                return frontend::exit_converted_with_warnings;
            case wordbuilder::WordRunOutcome::cancelled:
                return frontend::exit_refused;
            case wordbuilder::WordRunOutcome::failed:
                return frontend::exit_failed;
        }
        return frontend::exit_failed;
    }

  private:
    std::filesystem::path job_dir_;
    ui::Backend& ui_;
    bool console_;
};

int run(const frontend::CommandLine& options) {
    const frontend::StartupSettings settings{.program_dir = os::program_folder(),
                                             .job_dir = os::job_folder(options.job_dir),
                                             .job_dir_given = options.job_dir.has_value(),
                                             .console = frontend::console_mode(options)};
    if (settings.console) {
        ui::ConsoleBackend ui(std::cerr, isatty(STDERR_FILENO) != 0);
        BuilderRun word_run(settings.job_dir, ui, true);
        return frontend::run_startup(options, settings, ui, word_run);
    }
    ui::QtBackend ui;
    BuilderRun word_run(settings.job_dir, ui, false);
    return frontend::run_startup(options, settings, ui, word_run);
}

}  // namespace

int main(int argc, char** argv) {
    os::end_cleanly_on_signals();
    try {
        const auto parsed = frontend::parse_command_line(argc, argv, std::cout, std::cerr);
        if (!parsed.options) return parsed.exit_status;
        return run(*parsed.options);
    } catch (const base::RunTimeError& error) {
        std::cerr << "varnel: " << error.description() << ' ' << error.context() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "varnel: " << error.what() << '\n';
    }
    return frontend::exit_failed;
}
