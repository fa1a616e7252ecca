// sorbel: builds the Excel workbook of the job that varnel handed over in PRN_XLS. A message
// window when there is a display, a status line on the console otherwise.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>

#include "base/run_time_error.h"
#include "graphics/metafile_pass.h"
#include "platform/os/program_folder.h"
#include "platform/ui/console_backend.h"
#include "platform/ui/qt/qt_backend.h"
#include "sorbel/driver/command_line.h"
#include "sorbel/driver/run_sequence.h"

namespace {

// The message window as the figure pass sees it.
class MetafileView : public graphics::MetafilePassView {
  public:
    explicit MetafileView(driver::MessageWindow& window) : window_(window) {}
    void set_status(const std::string& caption) override { window_.set_status(caption); }
    void start_progress(int maximum) override { window_.start_progress(maximum); }
    void step_progress() override { window_.step_progress(); }
    void yield() override { window_.yield(); }
    bool cancel_requested() const override { return window_.cancel_requested(); }
    void show_error(const std::string& title, const std::string& text) override {
        window_.show_message(ui::MessageIcon::exclamation, title, text);
    }

  private:
    driver::MessageWindow& window_;
};

template <typename Outcome>
driver::StageOutcome driver_outcome(Outcome outcome) {
    switch (outcome) {
        case Outcome::completed:
            return driver::StageOutcome::completed;
        case Outcome::cancelled:
            return driver::StageOutcome::cancelled;
        case Outcome::failed:
            return driver::StageOutcome::failed;
    }
    return driver::StageOutcome::failed;
}

// A stage this build does not have yet: it says so and never reports success.
driver::StageOutcome missing_stage(driver::MessageWindow& window, const std::string& name) {
    window.show_message(ui::MessageIcon::exclamation, "Error - " + name,
                        driver::error_box_text("この処理はまだ組み込まれていません。", ""));
    return driver::StageOutcome::failed;
}

class ProgramStages : public driver::Stages {
  public:
    driver::StageOutcome Make_MetaFile(const driver::SorbelSettings& s,
                                       driver::MessageWindow& window) override {
        const graphics::MetafilePassSettings settings{.job_dir = s.job_dir,
                                                      .Page_Count = s.mode.job.Page_Count,
                                                      .Margin_Left = s.mode.job.Margin_Left,
                                                      .Margin_Bottom = s.mode.job.Margin_Bottom,
                                                      .Paper_Width = s.mode.Paper_Width,
                                                      .Font_Name = s.mode.job.Font_Name};
        MetafileView view(window);
        return driver_outcome(
            graphics::Make_MetaFile(settings, s.xls.Start_Page, s.xls.End_Page, view));
    }
    driver::StageOutcome Make_XlsFile(const driver::SorbelSettings& s,
                                      driver::MessageWindow& window) override {
        (void)s;
        return missing_stage(window, "Make_XlsFile");
    }
    driver::StageOutcome Set_UpDown_Excel(const driver::SorbelSettings&,
                                          driver::MessageWindow& window) override {
        return missing_stage(window, "Set_UD");
    }
};

int run(const driver::CommandLine& options) {
    const driver::Folders folders{.program_dir = os::program_folder(),
                                  .job_dir = os::job_folder(options.job_dir)};
    ProgramStages stages;
    if (driver::console_mode(options)) {
        ui::ConsoleBackend ui(std::cerr, isatty(STDERR_FILENO) != 0);
        return driver::run_sorbel(folders, ui, stages);
    }
    ui::QtBackend ui;
    return driver::run_sorbel(folders, ui, stages);
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = driver::parse_command_line(argc, argv, std::cout, std::cerr);
    if (!parsed.options) return parsed.exit_status;
    try {
        return run(*parsed.options);
    } catch (const base::RunTimeError& error) {
        std::cerr << "sorbel: " << error.description() << ' ' << error.context() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "sorbel: " << error.what() << '\n';
    }
    return driver::exit_failed;
}
