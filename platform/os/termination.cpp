#include "platform/os/termination.h"

#include "base/atomic_file.h"

namespace os {

namespace {

extern "C" void end_after_cleaning(int signal) {
    base::remove_temporary_files();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    // Delivered when the handler returns: the program ends by the signal, as its caller expects.
    raise(signal);
}

}  // namespace

/* ---------------------------------------------------------------- end_cleanly_on_signals */
void end_cleanly_on_signals() {
    struct sigaction action {};
    action.sa_handler = end_after_cleaning;
    sigemptyset(&action.sa_mask);
    for (const int signal : ending_signals) sigaddset(&action.sa_mask, signal);
    for (const int signal : ending_signals) {
        // One the caller ignores (nohup ignores SIGHUP) stays ignored.
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
    }
}

}  // namespace os
