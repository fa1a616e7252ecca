// The user interface of a text console: message boxes become "title: text" lines, a modal
// form is answered by its default button, a form shown beside a job becomes a status line, and
// an interrupt (Ctrl-C, or a request to terminate) presses that form's cancel button.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/ui/backend.h"

namespace ui {

class ConsoleBackend : public Backend {
  public:
    // `terminal`: `out` is a terminal, so the status line is rewritten in place; otherwise
    // each new status goes on a line of its own.
    ConsoleBackend(std::ostream& out, bool terminal);
    ~ConsoleBackend() override;
    ConsoleBackend(const ConsoleBackend&) = delete;
    ConsoleBackend& operator=(const ConsoleBackend&) = delete;

    void message_box(MessageIcon icon, const std::string& title, const std::string& text) override;
    // There is no file box on a console: always nothing.
    std::optional<std::string> save_file_box(const FileBoxRequest& request) override;
    // Presses the default button once; a form still open after that is closed.
    void show_modal(Form& form, FormEvents& events) override;
    // Draws the status line and, while the form is shown, takes SIGINT, SIGTERM or SIGHUP as
    // its cancel button. A second one ends the program as it would have without the form.
    void show(Form& form, FormEvents& events) override;
    void yield() override;
    void close(Form& form) override;

  private:
    struct Shown {
        Form* form;
        FormEvents* events;
        std::uint64_t drawn_revision;
        std::string drawn_line;
    };

    void draw(Shown& shown, bool force);
    void end_status_line();

    std::ostream& out_;
    bool terminal_;
    bool line_open_ = false;
    std::vector<Shown> shown_;
};

}  // namespace ui
