// The message window of the Excel converter: status line, progress bar, the warning not to
// start Excel, and the cancel button.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/form.h"

namespace driver {

class FrmMsg : public ui::FormEvents {
  public:
    FrmMsg();

    ui::Form& form() noexcept { return form_; }
    const ui::Form& form() const noexcept { return form_; }

    // Set by the cancel button while it is enabled; the run clears it at its start.
    bool Cancel_Flag = false;

    void click(const std::string& control) override;
    void change(const std::string& control) override;
    // The close box asks to stop like the cancel button (and like it, not while disabled); the
    // window stays until the run has ended.
    bool query_close() override;

  private:
    ui::Form form_;
};

// The shown FrmMsg with the back end that draws it: what the stages call.
class MessageWindow {
  public:
    MessageWindow(FrmMsg& frm_msg, ui::Backend& ui) : frm_msg_(frm_msg), ui_(ui) {}

    void set_status(const std::string& utf8_caption);
    void start_progress(int maximum);
    void step_progress();
    void yield();
    bool cancel_requested() const noexcept { return frm_msg_.Cancel_Flag; }
    void set_cancel_enabled(bool enabled);
    void set_busy_pointer(bool busy);
    void show_message(ui::MessageIcon icon, const std::string& utf8_title,
                      const std::string& utf8_text);
    void add_warning(const std::string& utf8_line);

    const std::vector<std::string>& warnings() const noexcept { return warnings_; }
    FrmMsg& frm_msg() noexcept { return frm_msg_; }

  private:
    FrmMsg& frm_msg_;
    ui::Backend& ui_;
    std::vector<std::string> warnings_;
};

}  // namespace driver
