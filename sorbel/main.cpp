// sorbel: builds the Excel workbook of the job that varnel handed over in PRN_XLS. A message
// window when there is a display, a status line on the console otherwise.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>

#include "base/run_time_error.h"
#include "platform/os/program_folder.h"
#include "platform/os/termination.h"
#include "platform/ui/console_backend.h"
#include "platform/ui/qt/qt_backend.h"
#include "sorbel/driver/command_line.h"
#include "sorbel/driver/run_sequence.h"
#include "sorbel/stage_wiring.h"

namespace {

int run(const driver::CommandLine& options) {
    const driver::Folders folders{.program_dir = os::program_folder(),
                                  .job_dir = os::job_folder(options.job_dir)};
    sorbel::ProgramStages stages;
    if (driver::console_mode(options)) {
        ui::ConsoleBackend ui(std::cerr, isatty(STDERR_FILENO) != 0);
        return driver::run_sorbel(folders, ui, stages);
    }
    ui::QtBackend ui;
    return driver::run_sorbel(folders, ui, stages);
}

}  // namespace

int main(int argc, char** argv) {
    os::end_cleanly_on_signals();
    try {
        const auto parsed = driver::parse_command_line(argc, argv, std::cout, std::cerr);
        if (!parsed.options) return parsed.exit_status;
        return run(*parsed.options);
    } catch (const base::RunTimeError& error) {
        std::cerr << "sorbel: " << error.description() << ' ' << error.context() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "sorbel: " << error.what() << '\n';
    }
    return driver::exit_failed;
}
