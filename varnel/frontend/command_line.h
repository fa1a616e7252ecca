// The program's options. With a display they preset the dialog; on a console they are the
// dialog's choices, and OK is pressed once.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "varnel/frontend/dialog.h"

namespace frontend {

struct CommandLine {
    std::optional<std::filesystem::path> job_dir;
    bool word = false;
    bool excel = false;
    std::string pages;    // "all" or "A-B"; empty keeps the dialog's choice
    std::string tables;   // "table" or "drawing"
    std::string output;   // document or workbook path
    int split = 0;        // pages per document; 0: not given
    int sheet_pages = 0;  // pages per worksheet; 0: not given
    int cell_width = 0;   // half-width characters per cell, 1 or 2; 0: not given
    std::string lines;    // "solid" or "thin"
    bool console = false;
};

struct ParsedCommandLine {
    std::optional<CommandLine> options;  // none: end with exit_status (help, or a bad option)
    int exit_status = 0;
};

// --help goes to `out`, errors to `err`.
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);

// Sets the dialog's controls as the user would, after its load.
void apply_presets(const CommandLine& options, Dialog& dialog);

// The console is used when asked for, or when there is no display to open a window on.
bool console_mode(const CommandLine& options);

}  // namespace frontend
