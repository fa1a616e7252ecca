// Starting another program of the system.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace os {

// Starts `program` with `arguments` in `working_folder` and returns at once; the child runs on
// after this process ends. Throws RunTimeError when the program is missing or cannot be
// executed (the exec failure is reported, not left to the child).
void start_program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& working_folder);

// The same, then waits for the program to end. Returns its exit status, or 128 + the signal
// number when a signal ended it. Meanwhile an ending signal (termination.h) does not end this
// process: one sent to it alone is passed on to the program, which decides how to end.
int run_program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                const std::filesystem::path& working_folder);

}  // namespace os
