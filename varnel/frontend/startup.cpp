#include "varnel/frontend/startup.h"

#include <exception>
#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "platform/os/process.h"
#include "varnel/frontend/dialog.h"
#include "varnel/frontend/exit_status.h"

namespace frontend {

namespace {

constexpr const char* error_title = "エラー";

void show_error(ui::Backend& ui, const std::string& what, const std::filesystem::path& file,
                const std::string& description) {
    ui.message_box(
        ui::MessageIcon::critical, error_title,
        what + "\r\n" + file.string() + "\r\n" + description + "\r\n\r\n処理を中止します。");
}

int start_sorbel(const StartupSettings& settings, ui::Backend& ui) {
    const auto sorbel = settings.program_dir / "sorbel";
    std::vector<std::string> arguments;
    if (settings.job_dir_given) arguments = {"--job-dir", settings.job_dir.string()};
    try {
        // On a console the caller sees the Excel conversion's own result.
        if (settings.console) return os::run_program(sorbel, arguments, settings.program_dir);
        os::start_program(sorbel, arguments, settings.program_dir);
        return exit_converted;
    } catch (const base::RunTimeError& error) {
        show_error(ui, "Excel 変換プログラムを起動できません。", sorbel, error.description());
        return exit_failed;
    }
}

int run_word(const jobfiles::VarnelJobSettings& job, const RunVariables& variables,
             const std::filesystem::path& output_folder, Form1& form1, ui::Backend& ui,
             WordRun& word_run) {
    form1.Cansel_SW = false;
    form1.prepare(job.Page_Count);
    ui.show(form1.form(), form1);
    int status = exit_failed;
    try {
        status = word_run.run(job, variables, output_folder, form1);
    } catch (const base::RunTimeError& error) {
        ui.message_box(ui::MessageIcon::critical, error_title, error.description());
    } catch (const std::exception& error) {
        ui.message_box(ui::MessageIcon::critical, error_title, error.what());
    }
    ui.close(form1.form());
    return status;
}

}  // namespace

/* ---------------------------------------------------------------- run_startup */
int run_startup(const CommandLine& options, const StartupSettings& settings, ui::Backend& ui,
                WordRun& word_run) {
    try {
        base::path_kind(settings.job_dir);
    } catch (const base::RunTimeError& error) {
        show_error(ui, "ジョブのフォルダを調べられません。", settings.job_dir, error.description());
        return exit_failed;
    }
    const auto prn_mode = settings.job_dir / "PRN_MODE";
    jobfiles::VarnelJobSettings job;
    try {
        job = jobfiles::load_varnel_prn_mode(prn_mode);
    } catch (const base::RunTimeError& error) {
        show_error(ui, "ジョブ設定ファイルを読み込めません。", prn_mode, error.description());
        return exit_failed;
    }

    RunVariables variables;
    Form1 form1;
    Dialog dialog(ui, variables, form1,
                  {.job_dir = settings.job_dir,
                   .Page_Count = job.Page_Count,
                   .report_silent_refusals = settings.console});
    dialog.Cansel_SW = false;
    try {
        dialog.load();
    } catch (const base::RunTimeError& error) {
        show_error(ui, "出力フォルダの記録を読み込めません。", settings.job_dir / "PATH_INI",
                   error.description());
        return exit_failed;
    }
    apply_presets(options, dialog);
    ui.show_modal(dialog.form(), dialog);
    if (dialog.Cansel_SW) return dialog.failed ? exit_failed : exit_refused;

    if (!variables.Word_SW) return start_sorbel(settings, ui);
    return run_word(job, variables, settings.job_dir / dialog.path_txt, form1, ui, word_run);
}

}  // namespace frontend
