// Ending signals sent to real processes: each test forks a child that is writing a file.
#include "platform/os/termination.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;

std::size_t entries(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
    return n;
}

// The status of a child that replaces `file` half-way and then gets `signal`.
int signalled_while_writing(const fs::path& file, int signal, bool ignored) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (ignored) std::signal(signal, SIG_IGN);
        os::end_cleanly_on_signals();
        {
            base::AtomicFile out(file);
            out.write("half of it");
            raise(signal);
        }
        _exit(7);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(termination, a_signal_ends_the_program_by_it_without_a_temporary_file) {
    test_support::ScratchFolder scratch;
    const auto file = scratch.file("Book1.xlsx", "earlier");
    for (const int signal : os::ending_signals) {
        const int status = signalled_while_writing(file, signal, false);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(test_support::read_bytes(file), "earlier");
        EXPECT_EQ(entries(scratch.path()), 1u) << signal;
    }
}

TEST(termination, a_signal_the_caller_ignores_stays_ignored) {
    test_support::ScratchFolder scratch;
    const int status = signalled_while_writing(scratch.path() / "Book1.xlsx", SIGHUP, true);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(entries(scratch.path()), 0u);
}

}  // namespace
