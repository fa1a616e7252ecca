#include "platform/os/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "base/run_time_error.h"
#include "base/system_error.h"

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

}  // namespace

/* ---------------------------------------------------------------- start_program */
void start_program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& working_folder) {
    spawn(program, arguments, working_folder);
}

/* ---------------------------------------------------------------- run_program */
int run_program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                const std::filesystem::path& working_folder) {
    const pid_t pid = spawn(program, arguments, working_folder);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw base::system_error(errno, program, base::FileAccess::read);
        }
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

}  // namespace os
