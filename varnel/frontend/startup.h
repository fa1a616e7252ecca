// The program's start: read the job settings, let the user choose in the dialog, then either
// run the Word conversion under the progress window or hand the job to sorbel.
#pragma once

#include <filesystem>

#include "jobfiles/prn_mode.h"
#include "platform/ui/backend.h"
#include "varnel/frontend/command_line.h"
#include "varnel/frontend/form1.h"
#include "varnel/frontend/run_variables.h"

namespace frontend {

struct StartupSettings {
    std::filesystem::path program_dir;  // where sorbel lies
    std::filesystem::path job_dir;      // job files, META_FILE/, PATH_INI, PRN_XLS
    bool job_dir_given = false;         // passed on to sorbel
    bool console = false;               // wait for sorbel; report refusals
};

// The Word conversion, supplied by the program (the front end does not build documents).
class WordRun {
  public:
    virtual ~WordRun() = default;
    // Runs while `form1` is shown; returns exit_converted, exit_failed (the error was shown)
    // or exit_refused (cancelled).
    virtual int run(const jobfiles::VarnelJobSettings& job, const RunVariables& variables,
                    const std::filesystem::path& output_folder, Form1& form1) = 0;
};

// Returns the program's exit status (see exit_status.h); in console mode the Excel route
// returns sorbel's.
int run_startup(const CommandLine& options, const StartupSettings& settings, ui::Backend& ui,
                WordRun& word_run);

}  // namespace frontend
