#include "platform/ui/console_backend.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <ostream>

#include "platform/ui/display_text.h"

namespace ui {

namespace {

// SIGTERM and SIGHUP ask for the same as Ctrl-C: the job stops and removes what it was writing.
constexpr std::array<int, 3> cancel_signals{SIGINT, SIGTERM, SIGHUP};

// Waiting for a signal; one came that no yield has looked at yet; a cancel button took one.
constexpr std::sig_atomic_t waiting = 0;
constexpr std::sig_atomic_t interrupted = 1;
constexpr std::sig_atomic_t cancelled = 2;
volatile std::sig_atomic_t interrupt_state = waiting;
std::array<struct sigaction, cancel_signals.size()> previous_actions{};
std::array<bool, cancel_signals.size()> caught{};

extern "C" void on_interrupt(int signal) {
    if (interrupt_state == waiting) {
        interrupt_state = interrupted;
        return;
    }
    // A second one: the job is stopping already or no longer yields, so the signal does what it
    // did before the form was shown (ends the program), and a job that hangs can still be ended.
    for (std::size_t i = 0; i < cancel_signals.size(); ++i) {
        if (cancel_signals[i] == signal) sigaction(signal, &previous_actions[i], nullptr);
    }
    raise(signal);
}

void catch_interrupts() {
    interrupt_state = waiting;
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : cancel_signals) sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < cancel_signals.size(); ++i) {
        sigaction(cancel_signals[i], nullptr, &previous_actions[i]);
        // One the caller ignores (nohup ignores SIGHUP) stays ignored.
        caught[i] = previous_actions[i].sa_handler != SIG_IGN;
        if (caught[i]) sigaction(cancel_signals[i], &action, nullptr);
    }
}

void release_interrupts() {
    for (std::size_t i = 0; i < cancel_signals.size(); ++i) {
        if (caught[i]) sigaction(cancel_signals[i], &previous_actions[i], nullptr);
        caught[i] = false;
    }
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
    if (interrupt_state == interrupted) {
        bool taken = false;
        for (auto& s : shown_) {
            if (s.form->cancel_button.empty()) continue;
            // A disabled button ignores Ctrl-C as it ignores a click.
            if (!s.form->control(s.form->cancel_button).enabled) continue;
            s.events->click(s.form->cancel_button);
            taken = true;
        }
        // One that no enabled cancel button took is dropped: the next one is a cancel again.
        interrupt_state = taken ? cancelled : waiting;
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
