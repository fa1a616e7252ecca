// The converter's options. Its choices come from the job's files, not from options: only where
// the job lies and how to talk to the user.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

namespace driver {

struct CommandLine {
    std::optional<std::filesystem::path> job_dir;
    bool console = false;
};

struct ParsedCommandLine {
    std::optional<CommandLine> options;  // none: end with exit_status (help, or a bad option)
    int exit_status = 0;
};

// --help goes to `out`, errors to `err`.
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

// The console is used when asked for, or when there is no display to open a window on.
bool console_mode(const CommandLine& options);

}  // namespace driver
