#include "sorbel/driver/command_line.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <string>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "sorbel/driver/run_sequence.h"

namespace driver {

/* ---------------------------------------------------------------- parse_command_line */
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
    CommandLine options;
    CLI::App app(
        "varnel が残した PRN_XLS と印刷ジョブ (PRN_MODE, PRN_CHAR, PRN_PICT) から Excel ブック "
        "(.xlsx) を作ります。\n"
        "変換の指定はすべてジョブフォルダのファイルから読みます。",
        "sorbel");
    std::string job_dir;
    app.add_option("--job-dir", job_dir,
                   "印刷ジョブと PRN_XLS のあるフォルダ (既定: プログラムのフォルダ)")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                // A folder that cannot be examined is left to the run, which says why.
                try {
                    if (base::path_kind(text) == base::PathKind::folder) return {};
                } catch (const base::RunTimeError&) {
                    return {};
                }
                return "フォルダがありません: " + text;
            },
            "DIR"));
    app.add_flag("--console", options.console,
                 "ウィンドウを開かず、端末で変換する (Ctrl-C で中止)");
    app.set_version_flag("--version", "sorbel " VS_VERSION, "バージョンを表示して終了する");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        return {std::nullopt, status == 0 ? exit_converted : exit_failed};
    }
    if (!job_dir.empty()) options.job_dir = job_dir;
    return {options, 0};
}

/* ---------------------------------------------------------------- console_mode */
bool console_mode(const CommandLine& options) {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return options.console ||
           (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM"));
}

}  // namespace driver
