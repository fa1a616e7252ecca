#include "platform/os/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/run_time_error.h"
#include "platform/os/program_folder.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(process, run_waits_and_passes_arguments_folder_and_status) {
    test_support::ScratchFolder scratch;
    const auto script = scratch.file("tool",
                                     "#!/bin/sh\n"
                                     "printf '%s|' \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
                                     "pwd > \"$(dirname \"$0\")/folder\"\n"
                                     "[ \"$1\" = kill ] && kill -TERM $$\n"
                                     "exit 7\n",
                                     0755);
    fs::create_directory(scratch.path() / "work");
    EXPECT_EQ(os::run_program(script, {"a b", "--job-dir", "c"}, scratch.path() / "work"), 7);
    std::ifstream arguments(scratch.path() / "arguments");
    std::string line;
    std::getline(arguments, line);
    EXPECT_EQ(line, "a b|--job-dir|c|");
    std::ifstream folder(scratch.path() / "folder");
    std::getline(folder, line);
    EXPECT_EQ(line, (scratch.path() / "work").string());

    EXPECT_EQ(os::run_program(script, {"kill"}, scratch.path()), 128 + 15);
}

TEST(process, an_ending_signal_sent_while_waiting_goes_to_the_program_waited_for) {
    test_support::ScratchFolder scratch;
    // The program asks its waiting parent to end, then ends only when that reaches it.
    const auto script = scratch.file("job",
                                     "#!/bin/sh\n"
                                     "trap 'exit 2' TERM HUP\n"
                                     "kill -$1 $PPID\n"
                                     "i=0\n"
                                     "while [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done\n"
                                     "exit 5\n",
                                     0755);
    EXPECT_EQ(os::run_program(script, {"TERM"}, scratch.path()), 2);
    EXPECT_EQ(os::run_program(script, {"HUP"}, scratch.path()), 2);
}

TEST(process, start_returns_at_once_and_reports_a_program_that_cannot_start) {
    test_support::ScratchFolder scratch;
    const auto script =
        scratch.file("slow", "#!/bin/sh\nsleep 1\ntouch \"$(dirname \"$0\")/done\"\n", 0755);
    os::start_program(script, {}, scratch.path());
    EXPECT_FALSE(fs::exists(scratch.path() / "done"));
    for (int i = 0; i < 100 && !fs::exists(scratch.path() / "done"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(fs::exists(scratch.path() / "done"));

    const auto expect_error = [&](const fs::path& program, base::ErrorNumber number) {
        try {
            os::start_program(program, {}, scratch.path());
            ADD_FAILURE() << program;
        } catch (const base::RunTimeError& error) {
            EXPECT_EQ(error.number(), static_cast<int>(number)) << program;
            EXPECT_NE(error.context().find(program.string()), std::string::npos);
        }
    };
    expect_error(scratch.path() / "missing", base::ErrorNumber::file_not_found);
    expect_error(scratch.file("plain", "#!/bin/sh\n", 0644), base::ErrorNumber::permission_denied);
    EXPECT_THROW(os::run_program(scratch.path() / "missing", {}, scratch.path()),
                 base::RunTimeError);
}

TEST(program_folder, is_the_folder_of_the_running_program_and_job_folders_are_absolute) {
    EXPECT_TRUE(fs::exists(os::program_folder() / "platform_os_tests"));
    EXPECT_EQ(os::job_folder(std::nullopt), os::program_folder());
    EXPECT_EQ(os::job_folder(fs::path("jobs/../job")), fs::current_path() / "job");
}

}  // namespace
