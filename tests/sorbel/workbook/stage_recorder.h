// A message window that remembers what a stage showed it.
#pragma once

#include <string>
#include <vector>

#include "sorbel/workbook/stage_view.h"

namespace workbook_test {

struct ShownMessage {
    workbook::BoxIcon icon;
    std::string title;
    std::string text;
};

class StageRecorder : public workbook::StageView {
  public:
    void set_status(const std::string& utf8_caption) override { statuses.push_back(utf8_caption); }
    void start_progress(int maximum) override {
        progress_maximum = maximum;
        progress = 0;
    }
    void step_progress() override { ++progress; }
    void yield() override { ++yields; }
    bool cancel_requested() const override { return cancel; }
    void set_cancel_enabled(bool enabled) override { cancel_enabled = enabled; }
    void set_busy_pointer(bool on) override { busy = on; }
    void show_message(workbook::BoxIcon icon, const std::string& utf8_title,
                      const std::string& utf8_text) override {
        messages.push_back({icon, utf8_title, utf8_text});
    }
    void add_warning(const std::string& utf8_line) override { warnings.push_back(utf8_line); }

    std::vector<std::string> statuses;
    int progress_maximum = -1;
    int progress = 0;
    int yields = 0;
    bool cancel = false;
    bool cancel_enabled = true;
    bool busy = false;
    std::vector<ShownMessage> messages;
    std::vector<std::string> warnings;
};

}  // namespace workbook_test
