#include "sorbel/driver/frm_msg.h"

namespace driver {

FrmMsg::FrmMsg() : form_("Pellora2 → Excel", 4665, 2175) {
    using ui::ControlKind;
    using ui::TextAlign;
    form_.add({.name = "Label1",
               .kind = ControlKind::label,
               .place = {60, 240, 4575, 195},
               .text = "Label1",
               .align = TextAlign::centre,
               .console_status = true});
    form_.add({.name = "ProgressBar1",
               .kind = ControlKind::progress_bar,
               .place = {255, 660, 4155, 375},
               .console_status = true});
    form_.add({.name = "Label2",
               .kind = ControlKind::label,
               .place = {60, 1200, 4575, 195},
               .text = "実行中はExcelを起動しないで下さい",
               .align = TextAlign::centre,
               .fore_colour = 0xFF0000});
    form_.add({.name = "Command1",
               .kind = ControlKind::button,
               .place = {1380, 1620, 1875, 375},
               .text = "キャンセル"});
    form_.cancel_button = "Command1";
}

/* ---------------------------------------------------------------- events */
void FrmMsg::click(const std::string& control) {
    // A disabled button (during the save) ignores the user; no request waits for it.
    if (control == "Command1" && form_.control("Command1").enabled) Cancel_Flag = true;
}

void FrmMsg::change(const std::string&) {}

bool FrmMsg::query_close() {
    click("Command1");
    return false;
}

/* ---------------------------------------------------------------- MessageWindow */
void MessageWindow::set_status(const std::string& utf8_caption) {
    frm_msg_.form().set_text("Label1", utf8_caption);
}

void MessageWindow::start_progress(int maximum) {
    frm_msg_.form().set_maximum("ProgressBar1", maximum);
    frm_msg_.form().set_value("ProgressBar1", 0);
}

void MessageWindow::step_progress() {
    ui::Form& form = frm_msg_.form();
    form.set_value("ProgressBar1", form.control("ProgressBar1").value + 1);
}

void MessageWindow::yield() {
    ui_.yield();
}

void MessageWindow::set_cancel_enabled(bool enabled) {
    frm_msg_.form().set_enabled("Command1", enabled);
}

void MessageWindow::set_busy_pointer(bool busy) {
    ui_.set_busy_pointer(busy);
}

void MessageWindow::show_message(ui::MessageIcon icon, const std::string& utf8_title,
                                 const std::string& utf8_text) {
    ui_.message_box(icon, utf8_title, utf8_text);
}

void MessageWindow::add_warning(const std::string& utf8_line) {
    warnings_.push_back(utf8_line);
}

}  // namespace driver
