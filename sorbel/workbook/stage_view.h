// What the workbook stages need of the message window. The program's entry adapts its window
// to it; tests put a recorder in its place.
#pragma once

#include <string>

namespace workbook {

// How a stage ended. The run ends on anything but completed; a failure has already been shown.
enum class StageOutcome {
    completed,
    failed,     // the user saw why in a message box
    cancelled,  // the cancel button; nothing more is shown
};

enum class BoxIcon { none, exclamation };

class StageView {
  public:
    virtual ~StageView() = default;

    // The status line (Label1).
    virtual void set_status(const std::string& utf8_caption) = 0;
    // The progress bar (ProgressBar1): minimum 0, this maximum, value 0.
    virtual void start_progress(int maximum) = 0;
    // Value + 1.
    virtual void step_progress() = 0;

    // Repaints the window and serves its cancel button, then returns.
    virtual void yield() = 0;
    // Cancel_Flag: set by the cancel button while it is enabled; stays set.
    virtual bool cancel_requested() const = 0;
    // While disabled, the button (and Ctrl-C on a console) does nothing.
    virtual void set_cancel_enabled(bool enabled) = 0;

    // The busy mouse pointer (hourglass) over the program's windows, or the normal one.
    virtual void set_busy_pointer(bool busy) = 0;

    // A message box with an OK button; CR LF breaks lines. An empty title means no title.
    virtual void show_message(BoxIcon icon, const std::string& utf8_title,
                              const std::string& utf8_text) = 0;
    // Something of the report that did not reach the workbook as it stands in the job: one line
    // the user sees after the run (a list in the window, a line on stderr on a console).
    virtual void add_warning(const std::string& utf8_line) = 0;
};

}  // namespace workbook
