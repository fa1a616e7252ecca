// The signals that ask a program to end: an interrupt from the terminal (SIGINT), a request to
// terminate (SIGTERM), the terminal gone (SIGHUP).
#pragma once

#include <array>
#include <csignal>

namespace os {

inline constexpr std::array<int, 3> ending_signals{SIGINT, SIGTERM, SIGHUP};

// From now on an ending signal that nothing else takes (the console takes one as a cancel
// while a job runs) ends the program as the signal does, but removes the temporary files of the
// atomic writes in progress first: the files they replace stay as they were, and nothing is
// left half-written beside them.
void end_cleanly_on_signals();

}  // namespace os
