#include "varnel/frontend/form1.h"

#include "jobfiles/numeric.h"

namespace frontend {

Form1::Form1() : form_("Pellora2→MS-Word", 4665, 2310) {
    using ui::ControlKind;
    using ui::TextAlign;
    form_.add({.name = "Label1",
               .kind = ControlKind::label,
               .place = {1905, 180, 915, 180},
               .text = "Page 1/100",
               .align = TextAlign::centre,
               .console_status = true});
    form_.add({.name = "ProgressBar1",
               .kind = ControlKind::progress_bar,
               .place = {300, 540, 4035, 375},
               .console_status = true});
    form_.add({.name = "Label2",
               .kind = ControlKind::label,
               .place = {960, 1140, 2835, 180},
               .text = "実行中はWordを起動しないで下さい。",
               .fore_colour = 0xFF0000});
    form_.add({.name = "doc_name",
               .kind = ControlKind::label,
               .place = {600, 1440, 3375, 195},
               .align = TextAlign::centre});
    form_.add({.name = "Command1",
               .kind = ControlKind::button,
               .place = {1560, 1800, 1575, 315},
               .text = "ｷｬﾝｾﾙ"});
    form_.add({.name = "List1", .kind = ControlKind::list_box, .visible = false});
    form_.cancel_button = "Command1";
}

/* ---------------------------------------------------------------- prepare */
void Form1::prepare(std::int16_t Page_Count) {
    form_.set_maximum("ProgressBar1", Page_Count);
    form_.set_text("Label1", "Page 1/" + jobfiles::plain_number(Page_Count));
}

/* ---------------------------------------------------------------- events */
void Form1::click(const std::string& control) {
    if (control == "Command1") Cansel_SW = true;
}

void Form1::change(const std::string&) {}

bool Form1::query_close() {
    Cansel_SW = true;
    return false;
}

}  // namespace frontend
