// GCC 12 reports a null dereference inside CLI11's string splitting once its validators are
// inlined here; the code path has no null pointer, and other compilers keep the warning.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wnull-dereference"
#endif

#include "varnel/frontend/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "jobfiles/handoff_files.h"
#include "varnel/frontend/exit_status.h"

namespace frontend {

namespace {

bool is_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "all", or two page numbers joined by "-".
bool is_page_range(std::string_view text) {
    const auto dash = text.find('-');
    return text == "all" || (dash != std::string_view::npos && is_digits(text.substr(0, dash)) &&
                             is_digits(text.substr(dash + 1)));
}

// Refused only when surely not there: a folder that cannot be examined is left to the start,
// which fails with the reason.
bool job_folder_may_exist(const std::string& text) {
    try {
        return base::path_kind(text) == base::PathKind::folder;
    } catch (const base::RunTimeError&) {
        return true;
    }
}

// A check with the Japanese text shown when the value is refused.
CLI::Validator refuse_unless(bool (*accepts)(const std::string&), std::string refusal,
                             std::string shape) {
    return CLI::Validator(
        [accepts, refusal](std::string& text) -> std::string {
            return accepts(text) ? "" : refusal;
        },
        std::move(shape));
}

bool is_count(const std::string& text) {
    return is_digits(text) && text.size() <= 5 && std::stoi(text) >= 1 && std::stoi(text) <= 32767;
}

bool is_sheet_size(const std::string& text) {
    return is_count(text) && jobfiles::sheet_size_fits(std::stoi(text));
}

// The option a parse error is about, as CLI11 puts it before the first colon.
std::string option_named_in(const CLI::Error& error) {
    const std::string text = error.what();
    const auto colon = text.find(':');
    if (text.starts_with("-") && colon != std::string::npos) return text.substr(0, colon);
    return {};
}

// CLI11 words its errors in English; the user reads Japanese.
std::string japanese_reason(const CLI::Error& error) {
    const std::string option = option_named_in(error);
    const std::string about = option.empty() ? "" : option + ": ";
    if (dynamic_cast<const CLI::ValidationError*>(&error)) return error.what();
    if (dynamic_cast<const CLI::ExcludesError*>(&error))
        return "--word と --excel は同時に指定できません。";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return about + "オプションの値がないか、多すぎます。";
    if (dynamic_cast<const CLI::ConversionError*>(&error))
        return about + "値を数値として読めません。";
    return "オプションの指定が正しくありません。";
}

}  // namespace

/* ---------------------------------------------------------------- parse_command_line */
ParsedCommandLine parse_command_line(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err) {
    CommandLine options;
    CLI::App app(
        "帳票の印刷ジョブを Word 文書 (.docx) または Excel ブック (.xlsx) に変換します。\n"
        "ディスプレイがあればオプション画面を表示し、なければ (または --console で) "
        "オプションの指定どおりに変換します。",
        "varnel");
    std::string job_dir;
    app.add_option("--job-dir", job_dir,
                   "印刷ジョブ (PRN_MODE, PRN_CHAR, PRN_PICT, META_FILE/) とPATH_INIのあるフォルダ"
                   " (既定: プログラムのフォルダ)")
        ->check(refuse_unless(job_folder_may_exist, "フォルダがありません。", "DIR"));
    auto* word = app.add_flag("--word", options.word, "Word 文書に変換する (既定)");
    app.add_flag("--excel", options.excel, "Excel ブックに変換する")->excludes(word);
    const CLI::Validator page_range(
        [](std::string& text) -> std::string {
            return is_page_range(text) ? "" : "all または 開始-終了 (例 3-10) で指定してください。";
        },
        "all|A-B");
    app.add_option("--pages", options.pages, "変換するページ: all または A-B")->check(page_range);
    app.add_option("--tables", options.tables, "表の取り扱い (Word): table=表, drawing=図形")
        ->check(refuse_unless(
            [](const std::string& text) { return text == "table" || text == "drawing"; },
            "table または drawing で指定してください。", "table|drawing"));
    app.add_option("--output", options.output, "保存する文書またはブックのパス");
    const auto page_count =
        refuse_unless(is_count, "1 から 32767 までの数で指定してください。", "N");
    app.add_option("--split", options.split, "N ページごとに Word 文書を分割する")
        ->check(page_count);
    const std::string largest_sheet = std::to_string(jobfiles::max_sheet_pages);
    app.add_option("--sheet-pages", options.sheet_pages,
                   "1 シートのページ数 (Excel, 推奨=50, 最大 " + largest_sheet + ")")
        ->check(refuse_unless(is_sheet_size,
                              "1 から " + largest_sheet + " までの数で指定してください (1 ページ " +
                                  std::to_string(jobfiles::sheet_grid_rows) + " 行、1 シート " +
                                  std::to_string(INT16_MAX) + " 行まで)。",
                              "N"));
    app.add_option("--cell-width", options.cell_width, "セル幅 (Excel): 半角 1 文字または 2 文字")
        ->check(refuse_unless([](const std::string& text) { return text == "1" || text == "2"; },
                              "1 または 2 で指定してください。", "1|2"));
    app.add_option("--lines", options.lines, "罫線 (Excel): solid=実線, thin=細線")
        ->check(
            refuse_unless([](const std::string& text) { return text == "solid" || text == "thin"; },
                          "solid または thin で指定してください。", "solid|thin"));
    app.add_flag("--console", options.console,
                 "ウィンドウを開かず、端末で変換する (Ctrl-C で中止)");
    app.set_version_flag("--version", "varnel " VS_VERSION, "バージョンを表示して終了する");
    app.allow_extras();
    std::string refusal;
    try {
        app.parse(argc, argv);
        if (!app.remaining().empty()) {
            refusal = "不明な引数です:";
            for (const auto& extra : app.remaining()) refusal += " " + extra;
        }
    } catch (const CLI::Success& help_or_version) {
        app.exit(help_or_version, out, err);
        return {std::nullopt, 0};
    } catch (const CLI::ParseError& error) {
        refusal = japanese_reason(error);
    }
    if (!refusal.empty()) {
        err << "コマンドラインが正しくありません。" << refusal << "\n"
            << "使い方は --help で表示されます。\n";
        return {std::nullopt, exit_refused};
    }
    if (!job_dir.empty()) options.job_dir = job_dir;
    if (!options.output.empty()) {
        std::error_code error;
        options.output = std::filesystem::absolute(options.output, error).string();
        if (error) {
            err << "現在のフォルダを調べられません。--output には絶対パスを指定してください。\n";
            return {std::nullopt, exit_failed};
        }
    }
    return {options, 0};
}

/* ---------------------------------------------------------------- apply_presets */
void apply_presets(const CommandLine& options, Dialog& dialog) {
    if (options.excel) dialog.select("Opt_ms(1)");
    if (options.word) dialog.select("Opt_ms(0)");
    if (options.pages == "all") {
        dialog.select("Opt_Page(0)");
    } else if (!options.pages.empty()) {
        const auto dash = options.pages.find('-');
        dialog.enter_text("Text1", options.pages.substr(0, dash));
        dialog.enter_text("Text2", options.pages.substr(dash + 1));
    }
    if (options.tables == "table") dialog.select("Opt_Matrix(0)");
    if (options.tables == "drawing") dialog.select("Opt_Matrix(1)");
    if (!options.output.empty()) {
        dialog.enter_text(dialog.form().checked("Opt_ms(0)") ? "doc_name" : "Text3",
                          options.output);
    }
    if (options.split > 0) {
        dialog.select("Check1");
        dialog.enter_text("page", std::to_string(options.split));
    }
    if (options.sheet_pages > 0) dialog.enter_text("Text4", std::to_string(options.sheet_pages));
    if (options.cell_width == 1) dialog.select("Option1(0)");
    if (options.cell_width == 2) dialog.select("Option1(1)");
    if (options.lines == "solid") dialog.select("Option1(3)");
    if (options.lines == "thin") dialog.select("Option1(2)");
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

}  // namespace frontend
