#include "platform/os/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

#include "base/run_time_error.h"
#include "base/system_error.h"
#include "platform/os/termination.h"

extern char** environ;

namespace os {

namespace {

// Owns the spawn file actions so that every exit path destroys them.
class FileActions {
  public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_{};
};

pid_t spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const std::filesystem::path& working_folder) {
    std::vector<std::string> strings;
    strings.reserve(arguments.size() + 1);
    strings.push_back(program.string());
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    FileActions actions;
    int error = posix_spawn_file_actions_addchdir_np(actions.get(), working_folder.c_str());
    pid_t pid = 0;
    // posix_spawn reports a failed exec (missing file, no execute permission) as its result.
    if (error == 0) {
        error = posix_spawn(&pid, program.c_str(), actions.get(), nullptr, argv.data(), environ);
    }
    if (error != 0) throw base::system_error(error, program, base::FileAccess::read);
    return pid;
}

volatile std::sig_atomic_t signal_to_pass_on = 0;

extern "C" void note_ending_signal(int signal, siginfo_t* info, void*) {
    // One the terminal sent reached the whole process group, the program waited for too.
    if (info->si_code == SI_USER || info->si_code == SI_QUEUE) signal_to_pass_on = signal;
}

// While it lives, the ending signals interrupt the wait instead of ending this process.
class EndingSignalsNoted {
  public:
    EndingSignalsNoted() {
        signal_to_pass_on = 0;
        struct sigaction action {};
        action.sa_sigaction = note_ending_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_SIGINFO;
        for (std::size_t i = 0; i < ending_signals.size(); ++i) {
            sigaction(ending_signals[i], nullptr, &previous_[i]);
            if (previous_[i].sa_handler != SIG_IGN) sigaction(ending_signals[i], &action, nullptr);
        }
    }
    ~EndingSignalsNoted() {
        for (std::size_t i = 0; i < ending_signals.size(); ++i) {
            sigaction(ending_signals[i], &previous_[i], nullptr);
        }
    }
    EndingSignalsNoted(const EndingSignalsNoted&) = delete;
    EndingSignalsNoted& operator=(const EndingSignalsNoted&) = delete;

  private:
    std::array<struct sigaction, ending_signals.size()> previous_{};
};

}  // namespace

/* ---------------------------------------------------------------- start_program */
void start_program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& working_folder) {
    spawn(program, arguments, working_folder);
}

/* ---------------------------------------------------------------- run_program */
int run_program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                const std::filesystem::path& working_folder) {
    // The program waited for is the job: asked to end, it is the one to stop and clean up, and
    // its status is the answer.
    const EndingSignalsNoted noted;
    const pid_t pid = spawn(program, arguments, working_folder);
    int status = 0;
    for (;;) {
        if (const int signal = signal_to_pass_on) {
            signal_to_pass_on = 0;
            kill(pid, signal);
        }
        if (waitpid(pid, &status, 0) >= 0) break;
        if (errno != EINTR) throw base::system_error(errno, program, base::FileAccess::read);
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

}  // namespace os
