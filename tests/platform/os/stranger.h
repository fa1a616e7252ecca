// A program run by someone a folder is closed to. Root may enter any folder, so a test run as
// root drops to the user "nobody" in the child; anyone else is shut out by the folder's mode.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace test_support {

// Closes `folder` to everyone (root aside) until the object goes.
class ClosedFolder {
  public:
    explicit ClosedFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        chmod(folder_.c_str(), 0);
    }
    ~ClosedFolder() { chmod(folder_.c_str(), 0700); }
    ClosedFolder(const ClosedFolder&) = delete;
    ClosedFolder& operator=(const ClosedFolder&) = delete;

  private:
    std::filesystem::path folder_;
};

// Lets a stranger into `folder` to read, write and run what is there.
inline void open_to_strangers(const std::filesystem::path& folder) {
    chmod(folder.c_str(), 0777);
}

// Runs `command` with /bin/sh as a stranger to the closed folder; its exit status, or -1.
inline int run_as_stranger(const std::string& command) {
    const pid_t pid = fork();
    if (pid == 0) {
        constexpr uid_t nobody = 65534;
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)) {
            _exit(126);
        }
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace test_support
