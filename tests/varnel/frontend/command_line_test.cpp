#include "varnel/frontend/command_line.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <vector>

#include "test_support.h"

namespace {

frontend::ParsedCommandLine parse(const std::vector<const char*>& arguments,
                                  std::string* help = nullptr, std::string* errors = nullptr) {
    std::array<const char*, 32> argv{"varnel"};
    std::copy(arguments.begin(), arguments.end(), argv.begin() + 1);
    std::ostringstream out;
    std::ostringstream err;
    auto parsed =
        frontend::parse_command_line(static_cast<int>(arguments.size() + 1), argv.data(), out, err);
    if (help) *help = out.str();
    if (errors) *errors = err.str();
    return parsed;
}

TEST(command_line, reads_every_option_and_makes_the_output_path_absolute) {
    frontend_test::ScratchFolder job;
    const auto parsed =
        parse({"--job-dir", job.path().c_str(), "--excel", "--pages", "3-10", "--tables", "drawing",
               "--output", "out/Book.xlsx", "--split", "5", "--sheet-pages", "40", "--cell-width",
               "2", "--lines", "thin", "--console"});
    ASSERT_TRUE(parsed.options);
    const auto& o = *parsed.options;
    EXPECT_EQ(o.job_dir, job.path());
    EXPECT_TRUE(o.excel);
    EXPECT_EQ(o.pages, "3-10");
    EXPECT_EQ(o.tables, "drawing");
    EXPECT_EQ(o.output, (std::filesystem::current_path() / "out/Book.xlsx").string());
    EXPECT_EQ(o.split, 5);
    EXPECT_EQ(o.sheet_pages, 40);
    EXPECT_EQ(o.cell_width, 2);
    EXPECT_EQ(o.lines, "thin");
    EXPECT_TRUE(o.console);
}

TEST(command_line, help_describes_the_options_and_bad_options_are_refused) {
    std::string help;
    auto parsed = parse({"--help"}, &help);
    EXPECT_FALSE(parsed.options);
    EXPECT_EQ(parsed.exit_status, 0);
    for (const char* name : {"--job-dir", "--word", "--excel", "--pages", "--tables", "--output",
                             "--split", "--sheet-pages", "--cell-width", "--lines", "--console"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
    for (const auto& bad : std::vector<std::vector<const char*>>{{"--word", "--excel"},
                                                                 {"--pages", "3"},
                                                                 {"--pages", "a-b"},
                                                                 {"--cell-width", "3"},
                                                                 {"--split", "0"},
                                                                 {"--job-dir", "/no/such/dir"},
                                                                 {"extra"}}) {
        std::string errors;
        parsed = parse(bad, nullptr, &errors);
        EXPECT_FALSE(parsed.options) << bad[0];
        EXPECT_EQ(parsed.exit_status, 2) << bad[0];
        EXPECT_TRUE(errors.starts_with("コマンドラインが正しくありません。")) << errors;
    }
}

TEST(command_line, version_is_told_on_stdout_and_converts_nothing) {
    std::string version;
    std::string errors;
    const auto parsed = parse({"--version", "--excel"}, &version, &errors);
    EXPECT_FALSE(parsed.options);
    EXPECT_EQ(parsed.exit_status, 0);
    EXPECT_TRUE(version.starts_with("varnel ")) << version;
    EXPECT_GT(version.find_first_of("0123456789"), 0u) << version;
    EXPECT_EQ(errors, "");
    std::string help;
    parse({"--help"}, &help);
    EXPECT_NE(help.find("--version"), std::string::npos) << help;
}

TEST(command_line, refusals_say_in_japanese_what_is_wrong) {
    const auto refusal = [](std::vector<const char*> arguments) {
        std::string errors;
        parse(arguments, nullptr, &errors);
        return errors;
    };
    EXPECT_NE(refusal({"--split", "0"}).find("--split: 1 から 32767 までの数で指定してください。"),
              std::string::npos);
    EXPECT_NE(refusal({"--job-dir", "/no/such/dir"}).find("フォルダがありません。"),
              std::string::npos);
    EXPECT_NE(refusal({"--word", "--excel"}).find("同時に指定できません"), std::string::npos);
    EXPECT_NE(refusal({"extra", "--frobnicate"}).find("不明な引数です: extra --frobnicate"),
              std::string::npos);
    EXPECT_NE(refusal({"--pages"}).find("--pages: オプションの値がないか"), std::string::npos);
    for (const auto& bad : std::vector<std::vector<const char*>>{
             {"--lines", "bold"}, {"--tables", "grid"}, {"--sheet-pages", "40000"}}) {
        const std::string text = refusal(bad);
        // Every word of the refusal is the user's language; option names and values aside.
        EXPECT_EQ(text.find("not"), std::string::npos) << text;
        EXPECT_EQ(text.find("range"), std::string::npos) << text;
    }
}

TEST(command_line, sheet_pages_stop_at_the_rows_one_sheet_holds) {
    std::string errors;
    EXPECT_FALSE(parse({"--excel", "--sheet-pages", "505"}, nullptr, &errors).options);
    EXPECT_NE(errors.find("--sheet-pages: 1 から 504 までの数で指定してください"),
              std::string::npos)
        << errors;
    const auto parsed = parse({"--excel", "--sheet-pages", "504"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->sheet_pages, 504);
}

TEST(command_line, presets_set_the_dialog_as_the_user_would) {
    frontend_test::ScratchFolder job;
    frontend_test::RecordingBackend ui;
    frontend::RunVariables run;
    frontend::Form1 form1;
    frontend::Dialog dialog(ui, run, form1, {.job_dir = job.path(), .Page_Count = 20});
    dialog.load();

    const auto options = *parse({"--excel", "--pages", "3-10", "--output", "/tmp/b.xlsx", "--lines",
                                 "thin", "--split", "7"})
                              .options;
    frontend::apply_presets(options, dialog);
    const auto& form = dialog.form();
    EXPECT_TRUE(form.control("Frame6").visible);
    EXPECT_TRUE(form.checked("Opt_Page(1)"));
    EXPECT_EQ(form.text("Text2"), "10");
    // The route decides which box the output path goes to.
    EXPECT_EQ(form.text("Text3"), "/tmp/b.xlsx");
    EXPECT_EQ(form.text("doc_name"), job.path().string() + "/文書.docx");
    EXPECT_TRUE(form.checked("Option1(2)"));
    EXPECT_TRUE(form.checked("Option1(0)"));
    EXPECT_TRUE(form.checked("Check1"));
    EXPECT_EQ(form.text("page"), "7");
}

TEST(command_line, console_is_used_without_a_display) {
    const frontend::CommandLine plain;
    frontend::CommandLine console;
    console.console = true;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    EXPECT_TRUE(frontend::console_mode(plain));
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_FALSE(frontend::console_mode(plain));
    EXPECT_TRUE(frontend::console_mode(console));
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_FALSE(frontend::console_mode(plain));
}

}  // namespace
