#include "varnel/frontend/startup.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "test_support.h"
#include "varnel/frontend/exit_status.h"

namespace {

using frontend_test::read_bytes;
using frontend_test::write_bytes;

// Records what the Word run was given and what the progress window showed when it began.
class FakeWordRun : public frontend::WordRun {
  public:
    int run(const jobfiles::VarnelJobSettings& job, const frontend::RunVariables& variables,
            const std::filesystem::path& output_folder, frontend::Form1& form1) override {
        ++calls;
        page_count = job.Page_Count;
        given = variables;
        folder = output_folder;
        label = form1.form().text("Label1");
        maximum = form1.form().control("ProgressBar1").maximum;
        shown = form1.form().loaded();
        if (fail) throw std::runtime_error("no document");
        return status;
    }
    int calls = 0;
    int page_count = 0;
    frontend::RunVariables given;
    std::filesystem::path folder;
    std::string label;
    int maximum = 0;
    bool shown = false;
    bool fail = false;
    int status = frontend::exit_converted;
};

class StartupTest : public ::testing::Test {
  protected:
    int start(const frontend::CommandLine& options = {}, bool console = false) {
        const frontend::StartupSettings settings{.program_dir = program_.path(),
                                                 .job_dir = job_.path(),
                                                 .job_dir_given = true,
                                                 .console = console};
        return frontend::run_startup(options, settings, ui_, word_);
    }
    // The user presses OK once.
    void press_ok() {
        ui_.on_modal = [](ui::Form& form, ui::FormEvents& events) {
            events.click(form.default_button);
        };
    }

    frontend_test::ScratchFolder program_;
    frontend_test::ScratchFolder job_;
    frontend_test::RecordingBackend ui_;
    FakeWordRun word_;
};

TEST_F(StartupTest, unreadable_job_settings_end_the_run_before_the_dialog) {
    press_ok();
    EXPECT_EQ(start(), frontend::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].text.find("PRN_MODE"), std::string::npos);
    EXPECT_EQ(word_.calls, 0);

    write_bytes(job_.path() / "PRN_MODE", "105,\"MS Mincho\",200");
    EXPECT_EQ(start(), frontend::exit_failed);
    EXPECT_EQ(ui_.messages.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(job_.path() / "PRN_XLS"));
}

TEST_F(StartupTest, closing_the_dialog_ends_without_writing_or_converting) {
    frontend_test::write_prn_mode(job_.path(), 12);
    EXPECT_EQ(start(), frontend::exit_refused);
    EXPECT_EQ(word_.calls, 0);
    EXPECT_FALSE(std::filesystem::exists(job_.path() / "PRN_XLS"));
    EXPECT_FALSE(std::filesystem::exists(job_.path() / "PATH_INI"));
}

TEST_F(StartupTest, word_route_runs_under_the_progress_window) {
    frontend_test::write_prn_mode(job_.path(), 1);
    press_ok();
    EXPECT_EQ(start(), frontend::exit_converted);
    ASSERT_EQ(word_.calls, 1);
    EXPECT_TRUE(word_.shown);
    EXPECT_EQ(word_.label, "Page 1/1");
    EXPECT_EQ(word_.maximum, 1);
    EXPECT_EQ(word_.given.Start_Page, 1);
    EXPECT_EQ(word_.given.End_Page, 1);
    EXPECT_EQ(word_.given.Doc_Name, "文書");
    EXPECT_EQ(word_.folder, job_.path());
    EXPECT_EQ(ui_.closed.size(), 1u);

    word_.status = frontend::exit_refused;
    EXPECT_EQ(start(), frontend::exit_refused);

    // A run that fails outside its own error handling is still reported.
    word_.fail = true;
    EXPECT_EQ(start(), frontend::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "no document");
    EXPECT_EQ(ui_.closed.size(), 3u);
}

TEST_F(StartupTest, excel_route_starts_sorbel_with_the_job_folder) {
    frontend_test::write_prn_mode(job_.path(), 12);
    frontend::CommandLine options;
    options.excel = true;
    press_ok();
    program_.file("sorbel", "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/arguments\"; exit 3\n",
                  0755);
    EXPECT_EQ(start(options, true), 3);
    EXPECT_EQ(read_bytes(program_.path() / "arguments"),
              "--job-dir " + job_.path().string() + "\n");
    EXPECT_EQ(word_.calls, 0);
    EXPECT_TRUE(ui_.messages.empty());

    std::filesystem::remove(program_.path() / "sorbel");
    EXPECT_EQ(start(options, false), frontend::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].text.find("sorbel"), std::string::npos);
}

}  // namespace
