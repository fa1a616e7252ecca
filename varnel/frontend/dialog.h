// The conversion options dialog: target, page range, table handling, output file. Its OK
// button checks and stores the choices, writes PRN_XLS and PATH_INI, and closes the dialog.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/ui/backend.h"
#include "platform/ui/form.h"
#include "varnel/frontend/form1.h"
#include "varnel/frontend/run_variables.h"

namespace frontend {

struct DialogSettings {
    std::filesystem::path job_dir{};  // holds PRN_XLS and PATH_INI; the default output folder
    std::int16_t Page_Count = 0;
    // On a console nobody sees the dialog stay open: a page range refused without a message
    // in a window is reported there.
    bool report_silent_refusals = false;
};

class Dialog : public ui::FormEvents {
  public:
    Dialog(ui::Backend& ui, RunVariables& run, Form1& form1, DialogSettings settings);

    ui::Form& form() noexcept { return form_; }
    const ui::Form& form() const noexcept { return form_; }

    // True while no conversion is to be made: from load until an OK is accepted.
    bool Cansel_SW = false;
    // The output folder (no trailing "/"); remembered in PATH_INI.
    std::string path_txt;
    // The last OK was refused because a file or folder could not be written or examined: a
    // dialog closed after it (other than by Cancel) ends the run as failed, not as cancelled.
    bool failed = false;

    // Fills the boxes: page count, remembered folder, default file names.
    void load();

    // What the user does, for presets and tests: select an option (or tick a check box) and
    // run its click handler; replace a text box's text and run its change handler.
    void select(const std::string& control, bool checked = true);
    void enter_text(const std::string& control, std::string text);

    void click(const std::string& control) override;
    void change(const std::string& control) override;
    // The close box unloads the dialog; Cansel_SW keeps its value, so it counts as cancel.
    bool query_close() override;

  private:
    void route_click(bool word);
    void browse(const std::string& text_box, const std::string& filter);
    void excel2007_notice();
    void ok_click();
    void cancel_click();
    void refuse(const std::string& text);
    void fail(const std::string& text);
    // A folder of the dialog as the file system sees it: relative ones lie in the job folder.
    std::filesystem::path resolve(const std::string& folder) const;

    ui::Backend& ui_;
    RunVariables& run_;
    Form1& form1_;
    DialogSettings settings_;
    ui::Form form_;
};

// "/data/my.docs/report.docx" -> "/data/my.docs/report": only the file name's extension goes.
std::string without_extension(std::string_view path);
// The part before the last "/" ("/" for a file in the root), or empty without a "/".
std::string folder_part(std::string_view path);

}  // namespace frontend
