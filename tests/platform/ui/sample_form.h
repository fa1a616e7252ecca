// A small form with one control of each kind, and events that record what happened.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/form.h"

namespace ui_test {

inline ui::Form sample_form() {
    using ui::ControlKind;
    ui::Form form("Sample", 4500, 3000);
    form.add({.name = "Frame1", .kind = ControlKind::frame, .place = {300, 150, 1800, 900}});
    form.add({.name = "Frame2", .kind = ControlKind::frame, .place = {2400, 150, 1800, 900}});
    form.add({.name = "A(0)",
              .kind = ControlKind::option,
              .container = "Frame1",
              .place = {150, 300, 0, 0},
              .text = "a0",
              .checked = true});
    form.add({.name = "A(1)",
              .kind = ControlKind::option,
              .container = "Frame1",
              .place = {150, 600, 0, 0},
              .text = "a1"});
    form.add({.name = "B(0)",
              .kind = ControlKind::option,
              .container = "Frame2",
              .place = {150, 300, 0, 0},
              .text = "b0",
              .checked = true});
    form.add({.name = "B(1)",
              .kind = ControlKind::option,
              .container = "Frame2",
              .place = {150, 600, 0, 0},
              .text = "b1"});
    form.add({.name = "Check", .kind = ControlKind::check_box, .place = {300, 1200, 0, 0}});
    form.add({.name = "Text",
              .kind = ControlKind::text_box,
              .place = {300, 1650, 1500, 270},
              .text = "12",
              .select_all_on_focus = true});
    form.add({.name = "Label",
              .kind = ControlKind::label,
              .place = {2400, 1650, 150, 180},
              .text = "Page 1/12",
              .console_status = true});
    form.add({.name = "Bar",
              .kind = ControlKind::progress_bar,
              .place = {300, 2100, 3900, 300},
              .console_status = true,
              .value = 0,
              .maximum = 12});
    form.add({.name = "List", .kind = ControlKind::list_box, .visible = false});
    form.add(
        {.name = "OK", .kind = ControlKind::button, .place = {300, 2550, 1500, 375}, .text = "OK"});
    form.add({.name = "Cancel",
              .kind = ControlKind::button,
              .place = {2400, 2550, 1500, 375},
              .text = "Cancel"});
    form.default_button = "OK";
    form.cancel_button = "Cancel";
    return form;
}

// Records the events; the OK button unloads the form, the close box asks `allow_close`.
class RecordingEvents : public ui::FormEvents {
  public:
    explicit RecordingEvents(ui::Form& form) : form_(form) {}
    void click(const std::string& control) override {
        log.push_back("click " + control);
        if (control == "OK") form_.unload();
    }
    void change(const std::string& control) override { log.push_back("change " + control); }
    bool query_close() override {
        log.push_back("close");
        return allow_close;
    }
    std::vector<std::string> log;
    bool allow_close = true;

  private:
    ui::Form& form_;
};

}  // namespace ui_test
