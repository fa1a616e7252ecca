#include "sorbel/stage_wiring.h"

#include <string>

#include "platform/ui/backend.h"
#include "sorbel/workbook/make_xls_file.h"
#include "sorbel/workbook/set_updown_excel.h"

namespace sorbel {

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
    void add_warning(const std::string& line) override { window_.add_warning(line); }

  private:
    driver::MessageWindow& window_;
};

// The message window as the workbook stages see it.
class WorkbookView : public workbook::StageView {
  public:
    explicit WorkbookView(driver::MessageWindow& window) : window_(window) {}
    void set_status(const std::string& caption) override { window_.set_status(caption); }
    void start_progress(int maximum) override { window_.start_progress(maximum); }
    void step_progress() override { window_.step_progress(); }
    void yield() override { window_.yield(); }
    bool cancel_requested() const override { return window_.cancel_requested(); }
    void set_cancel_enabled(bool enabled) override { window_.set_cancel_enabled(enabled); }
    void set_busy_pointer(bool busy) override { window_.set_busy_pointer(busy); }
    void show_message(workbook::BoxIcon icon, const std::string& title,
                      const std::string& text) override {
        window_.show_message(icon == workbook::BoxIcon::exclamation ? ui::MessageIcon::exclamation
                                                                    : ui::MessageIcon::none,
                             title, text);
    }
    void add_warning(const std::string& line) override { window_.add_warning(line); }

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

}  // namespace

/* ---------------------------------------------------------------- metafile_pass_settings */
graphics::MetafilePassSettings metafile_pass_settings(const driver::SorbelSettings& s) {
    return {.job_dir = s.job_dir,
            .Page_Count = s.mode.job.Page_Count,
            .Margin_Left = s.mode.job.Margin_Left,
            .Margin_Right = s.mode.job.Margin_Right,
            .Paper_Width = s.mode.Paper_Width,
            .Font_Name = s.mode.job.Font_Name};
}

/* ---------------------------------------------------------------- workbook_settings */
workbook::WorkbookSettings workbook_settings(const driver::SorbelSettings& s) {
    const auto& job = s.mode.job;
    return {.job_dir = s.job_dir,
            .program_dir = s.program_dir,
            .Start_Page = s.xls.Start_Page,
            .End_Page = s.xls.End_Page,
            .Xls_File = s.xls.Xls_File,
            .Sheet_SW = s.xls.Sheet_SW,
            .Sheet_Page = s.xls.Sheet_Page,
            .Cell_Wide = s.xls.Cell_Wide,
            .Line_Thin = s.xls.Line_Thin,
            .Char_Size = job.Char_Size,
            .Font_Name = job.Font_Name,
            .Margin_Left = job.Margin_Left,
            .Margin_Top = job.Margin_Top,
            .Margin_Right = job.Margin_Right,
            .Margin_Bottom = job.Margin_Bottom,
            .Page_Count = job.Page_Count,
            .Row_Ratio = job.Row_Ratio,
            .Line_Pitch = job.Line_Pitch,
            .Paper_Width = s.mode.Paper_Width,
            .Template_File = s.mode.Template_File,
            .Row_Height = s.mode.Row_Height,
            .Pict_Scale_H = s.mode.Pict_Scale_H,
            .Pict_Scale_W = s.mode.Pict_Scale_W,
            .Pict_Offset = s.mode.Pict_Offset,
            .Cell_Point = s.mode.Cell_Point,
            .Up_Size = s.mode.Up_Size,
            .Down_Size = s.mode.Down_Size,
            .Col_Count = s.mode.Col_Count,
            .Row_Pitch = s.mode.Row_Pitch,
            .Row_Ratio_SW = s.mode.Row_Ratio_SW,
            .Matrix_Row_Height = s.mode.Matrix_Row_Height};
}

/* ---------------------------------------------------------------- ProgramStages::Make_MetaFile */
driver::StageOutcome ProgramStages::Make_MetaFile(const driver::SorbelSettings& s,
                                                  driver::MessageWindow& window) {
    MetafileView view(window);
    return driver_outcome(
        graphics::Make_MetaFile(metafile_pass_settings(s), s.xls.Start_Page, s.xls.End_Page, view));
}

/* ---------------------------------------------------------------- ProgramStages::Make_XlsFile */
driver::StageOutcome ProgramStages::Make_XlsFile(const driver::SorbelSettings& s,
                                                 driver::MessageWindow& window) {
    WorkbookView view(window);
    return driver_outcome(workbook::Make_XlsFile(workbook_settings(s), view));
}

/* ---------------------------------------------------------------- ProgramStages::Set_UpDown_Excel
 */
driver::StageOutcome ProgramStages::Set_UpDown_Excel(const driver::SorbelSettings& s,
                                                     driver::MessageWindow& window) {
    WorkbookView view(window);
    return driver_outcome(workbook::Set_UpDown_Excel(workbook_settings(s), view));
}

}  // namespace sorbel
