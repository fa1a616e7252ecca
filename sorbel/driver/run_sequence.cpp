#include "sorbel/driver/run_sequence.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "jobfiles/handoff_files.h"
#include "jobfiles/numeric.h"

namespace driver {

namespace {

void show_error(ui::Backend& ui, const std::string& procedure, const base::RunTimeError& error) {
    ui.message_box(ui::MessageIcon::exclamation, "Error - " + procedure,
                   error_box_text(error.description(), error.context()));
}

base::RunTimeError removal_error(const std::error_code& ec, const std::filesystem::path& file) {
    const bool refused = ec.value() == EACCES || ec.value() == EPERM || ec.value() == EROFS;
    return base::RunTimeError(
        refused ? base::ErrorNumber::permission_denied : base::ErrorNumber::path_file_access,
        file.string());
}

// Old metafiles and the bitmap pictures that go with them go before the pass; other files in
// the folder stay.
void delete_old_metafiles(const std::filesystem::path& folder) {
    if (base::path_kind(folder) != base::PathKind::folder) return;
    std::error_code ec;
    std::vector<std::filesystem::path> old;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const auto extension = it->path().extension();
        if ((extension == ".emf" || extension == ".png") && !it->is_directory(ec)) {
            old.push_back(it->path());
        }
    }
    if (ec) throw removal_error(ec, folder);
    for (const auto& file : old) {
        if (!std::filesystem::remove(file, ec) && ec) throw removal_error(ec, file);
    }
}

int exit_status(StageOutcome outcome) {
    switch (outcome) {
        case StageOutcome::completed:
            return exit_converted;
        case StageOutcome::cancelled:
            return exit_cancelled;
        case StageOutcome::failed:
            return exit_failed;
    }
    return exit_failed;
}

// Warnings of the stages: what of the report did not reach the workbook as it stands.
void show_warnings(ui::Backend& ui, const std::vector<std::string>& warnings) {
    if (warnings.empty()) return;
    std::string text;
    for (const auto& line : warnings) text += line + "\r\n";
    ui.message_box(ui::MessageIcon::exclamation, "注意", text);
}

std::string sheet_size_text(std::int16_t Sheet_SW, std::int16_t Page_Count) {
    const std::string largest = std::to_string(jobfiles::max_sheet_pages);
    if (Sheet_SW == 0) {
        return "全ページを 1 シートにできるのは " + std::to_string(jobfiles::max_sheet_pages - 10) +
               " ページまでです（この帳票は " + std::to_string(Page_Count) +
               " ページ）。シートを分けて変換して下さい。";
    }
    return "1シートのページ数の設定を確認して下さい。1～" + largest + " ページにできます。";
}

int run_stages(const SorbelSettings& settings, ui::Backend& ui, Stages& stages,
               MessageWindow& window) {
    // 8: old metafiles.
    try {
        delete_old_metafiles(settings.job_dir / "META_FILE");
    } catch (const base::RunTimeError& error) {
        show_error(ui, "Sorbel", error);
        return exit_failed;
    }
    // 9 to 11.
    using Stage = StageOutcome (Stages::*)(const SorbelSettings&, MessageWindow&);
    for (const Stage stage :
         {&Stages::Make_MetaFile, &Stages::Make_XlsFile, &Stages::Set_UpDown_Excel}) {
        const StageOutcome outcome = (stages.*stage)(settings, window);
        if (outcome != StageOutcome::completed) {
            show_warnings(ui, window.warnings());
            return exit_status(outcome);
        }
    }
    // 12.
    window.set_status("変換終了");
    window.set_busy_pointer(false);
    window.yield();
    show_warnings(ui, window.warnings());
    return window.warnings().empty() ? exit_converted : exit_converted_with_warnings;
}

}  // namespace

/* ---------------------------------------------------------------- error_box_text */
std::string error_box_text(const std::string& description, const std::string& context) {
    std::string text = description;
    if (!context.empty()) text += "\r\n" + context;
    return text + "\r\n\r\n処理を中止します。";
}

/* ---------------------------------------------------------------- run_sorbel */
int run_sorbel(const Folders& folders, ui::Backend& ui, Stages& stages) {
    // 1.
    FrmMsg frm_msg;
    frm_msg.Cancel_Flag = false;

    SorbelSettings settings;
    settings.job_dir = folders.job_dir;
    settings.program_dir = folders.program_dir;
    // 2.
    try {
        settings.xls = Read_PRNXLS(folders.job_dir);
    } catch (const base::RunTimeError& error) {
        show_error(ui, "Read_PRNXLS", error);
        return exit_failed;
    }
    // 3.
    try {
        const auto job = jobfiles::load_sorbel_prn_mode(folders.job_dir / "PRN_MODE");
        const auto mode = derive_mode_settings(job, settings.xls.Cell_Wide, folders.program_dir);
        if (!mode) {
            ui.message_box(ui::MessageIcon::none, "Pellora → Excel",
                           unsupported_size_text(job.Char_Size));
            return exit_failed;
        }
        settings.mode = *mode;
    } catch (const base::RunTimeError& error) {
        show_error(ui, "Read_PRNMODE", error);
        return exit_failed;
    }
    // 4 to 6.
    XlsChoices& xls = settings.xls;
    const std::int16_t Page_Count = settings.mode.job.Page_Count;
    if (xls.Start_Page < 1 || xls.Start_Page > Page_Count) {
        ui.message_box(ui::MessageIcon::none, "確認", "開始ページの設定を確認して下さい。");
        return exit_failed;
    }
    if (xls.End_Page < 1 || xls.End_Page > Page_Count) {
        ui.message_box(ui::MessageIcon::none, "確認", "終了ページの設定を確認して下さい。");
        return exit_failed;
    }
    if (xls.End_Page < xls.Start_Page) std::swap(xls.Start_Page, xls.End_Page);
    // The sheets' rows are a 16-bit count: refused here rather than after the figures are drawn.
    if (!jobfiles::sheet_size_fits(
            jobfiles::sheet_size(xls.Sheet_SW, xls.Sheet_Page, Page_Count))) {
        ui.message_box(ui::MessageIcon::none, "確認", sheet_size_text(xls.Sheet_SW, Page_Count));
        return exit_failed;
    }

    // 7.
    MessageWindow window(frm_msg, ui);
    window.set_status("");
    ui.show(frm_msg.form(), frm_msg);
    const int status = run_stages(settings, ui, stages, window);
    window.set_busy_pointer(false);
    ui.close(frm_msg.form());
    return status;
}

}  // namespace driver
