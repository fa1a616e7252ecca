#include "sorbel/workbook/set_updown_excel.h"

#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "platform/excel/excel.h"
#include "sorbel/workbook/character_runs.h"
#include "sorbel/workbook/udstring_file.h"

namespace workbook {

namespace {

constexpr const char* error_title = "Error - Set_UD";

void show_error(StageView& view, const base::RunTimeError& error) {
    std::string text = error.description();
    if (!error.context().empty()) text += "\r\n" + error.context();
    view.show_message(BoxIcon::exclamation, error_title, text + "\r\n\r\n処理を中止します。");
}

void apply_run(excel::Workbook& book, const UdStringRecord& record,
               const WorkbookSettings& settings, const std::string& font_name) {
    if (record.kind != run_superscript && record.kind != run_small) return;
    excel::Font font = book.Worksheets(static_cast<std::size_t>(std::max(record.sheet, 0)))
                           .Cells(record.row, record.column)
                           .Characters(record.start, record.length)
                           .Font();
    if (record.kind == run_superscript) {
        font.Superscript(true);
        font.Size(settings.Up_Size);
    } else {
        font.Size(settings.Down_Size);
    }
    font.Name(font_name);
}

// The cursor on A1 of every visible sheet, then the first sheet active.
void select_a1(excel::Workbook& book) {
    for (std::size_t i = 1; i <= book.WorksheetsCount(); ++i) {
        const std::string name = book.Worksheets(i).Name();
        if (!book.Sheets(name).Visible()) continue;
        book.Sheets(name).Select();
        book.Sheets(name).Range("A1").Select();
    }
    book.Sheets(1).Select();
}

}  // namespace

/* ---------------------------------------------------------------- Set_UpDown_Excel */
StageOutcome Set_UpDown_Excel(const WorkbookSettings& settings, StageView& view) {
    // 1.
    view.set_status("終了処理中");
    view.yield();

    // 2. The work file is read before anything else: a lost one must not look like no runs.
    std::vector<UdStringRecord> records;
    try {
        records = load_udstring(settings.job_dir / udstring_file_name);
    } catch (const base::RunTimeError& error) {
        show_error(view, error);
        return StageOutcome::failed;
    }
    if (records.empty()) return StageOutcome::completed;

    // 3.
    view.start_progress(static_cast<int>(std::min<std::size_t>(records.size(), INT32_MAX)));

    // 4. to 9. No Excel runs here, so there is never one to attach to: the stand-in is
    // always started by this stage and quit by it.
    excel::Application excel;
    try {
        const std::string font_name = cp932::to_utf8(settings.Font_Name);
        excel.DisplayAlerts = false;
        excel::Workbook& book = excel.Workbooks().Open(settings.Xls_File);
        for (std::size_t i = 0; i < records.size(); ++i) {
            const UdStringRecord& r = records[i];
            try {
                apply_run(book, r, settings, font_name);
            } catch (const base::RunTimeError& error) {
                std::string context = error.context();
                if (!context.empty()) context += "\r\n";
                throw base::RunTimeError(
                    error.number(), error.description(),
                    context + std::string(udstring_file_name) + " " + std::to_string(i + 1) +
                        "行目 (シート " + std::to_string(r.sheet) + ", 行 " +
                        std::to_string(r.row) + ", 列 " + std::to_string(r.column) + ")");
            }
            view.step_progress();
            view.yield();
        }
        select_a1(book);
        book.SaveAs(settings.Xls_File, excel::xlNoChange);
        book.Close();
    } catch (const base::RunTimeError& error) {
        show_error(view, error);
        excel.Quit();
        return StageOutcome::failed;
    }
    excel.Quit();
    return StageOutcome::completed;
}

}  // namespace workbook
