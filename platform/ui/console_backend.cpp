#include "platform/ui/console_backend.h"

#include <algorithm>
#include <csignal>
#include <ostream>

#include "platform/ui/display_text.h"

namespace ui {

namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction previous_action {};

extern "C" void on_interrupt(int) {
    interrupted = 1;
}

void catch_interrupts() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    // The first interrupt asks the job to stop; the default returns for a second one, so a
    // job that no longer yields can still be ended.
    action.sa_flags = static_cast<int>(SA_RESTART | SA_RESETHAND);
    sigaction(SIGINT, &action, &previous_action);
}

// After an interrupt that no enabled cancel button took: the next one is a cancel again.
void rearm_interrupts() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = static_cast<int>(SA_RESTART | SA_RESETHAND);
    sigaction(SIGINT, &action, nullptr);
}

void release_interrupts() {
    sigaction(SIGINT, &previous_action, nullptr);
}

}  // namespace

ConsoleBackend::ConsoleBackend(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

ConsoleBackend::~ConsoleBackend() {
    if (!shown_.empty()) release_interrupts();
}

/* ---------------------------------------------------------------- message_box */
void ConsoleBackend::message_box(MessageIcon, const std::string& title, const std::string& text) {
    end_status_line();
    out_ << (title.empty() ? "" : title + ": ") << with_line_feeds(text) << '\n' << std::flush;
}

/* ---------------------------------------------------------------- save_file_box */
std::optional<std::string> ConsoleBackend::save_file_box(const FileBoxRequest&) {
    return std::nullopt;
}

/* ---------------------------------------------------------------- show_modal */
void ConsoleBackend::show_modal(Form& form, FormEvents& events) {
    form.mark_loaded();
    if (!form.default_button.empty()) events.click(form.default_button);
    if (form.loaded()) {
        events.query_close();
        form.unload();
    }
}

/* ---------------------------------------------------------------- show */
void ConsoleBackend::show(Form& form, FormEvents& events) {
    form.mark_loaded();
    if (shown_.empty()) catch_interrupts();
    shown_.push_back({&form, &events, form.revision(), {}});
    draw(shown_.back(), true);
}

/* ---------------------------------------------------------------- yield */
void ConsoleBackend::yield() {
    if (interrupted) {
        bool taken = false;
        for (auto& s : shown_) {
            if (s.form->cancel_button.empty()) continue;
            // A disabled button ignores Ctrl-C as it ignores a click.
            if (!s.form->control(s.form->cancel_button).enabled) continue;
            s.events->click(s.form->cancel_button);
            taken = true;
        }
        if (taken) {
            interrupted = 0;
        } else {
            rearm_interrupts();
        }
    }
    for (auto& s : shown_) draw(s, false);
}

/* ---------------------------------------------------------------- close */
void ConsoleBackend::close(Form& form) {
    const auto it =
        std::find_if(shown_.begin(), shown_.end(), [&](const Shown& s) { return s.form == &form; });
    if (it == shown_.end()) return;
    draw(*it, false);
    shown_.erase(it);
    form.unload();
    end_status_line();
    if (shown_.empty()) release_interrupts();
}

void ConsoleBackend::draw(Shown& shown, bool force) {
    if (!force && shown.form->revision() == shown.drawn_revision) return;
    shown.drawn_revision = shown.form->revision();
    const auto line = status_line(*shown.form);
    if (line.empty() || (!force && line == shown.drawn_line)) return;
    shown.drawn_line = line;
    if (terminal_) {
        out_ << '\r' << line << "\x1b[K" << std::flush;
        line_open_ = true;
    } else {
        out_ << line << '\n' << std::flush;
    }
}

void ConsoleBackend::end_status_line() {
    if (!line_open_) return;
    out_ << '\n';
    line_open_ = false;
}

}  // namespace ui
