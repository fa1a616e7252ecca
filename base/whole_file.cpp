#include "base/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

#include "base/run_time_error.h"

namespace base {

namespace {

ErrorNumber error_for_errno(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
            return ErrorNumber::path_not_found;
        case EACCES:
        case EPERM:
        case EROFS:
            return ErrorNumber::permission_denied;
        case EISDIR:
            return ErrorNumber::path_file_access;
        default:
            return ErrorNumber::device_io;
    }
}

[[noreturn]] void fail_with_errno(const std::filesystem::path& file, int code) {
    throw RunTimeError(error_for_errno(code),
                       file.string() + ": " + std::generic_category().message(code));
}

// Writes all bytes to an open descriptor; returns 0 or the errno of the failure.
int write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

/* ---------------------------------------------------------------- load_file */
std::string load_file(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) throw RunTimeError(ErrorNumber::file_not_found, file.string());
        fail_with_errno(file, errno);
    }
    std::string bytes;
    char buffer[65536];
    int code = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            code = errno;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (code != 0) fail_with_errno(file, code);
    return bytes;
}

/* ---------------------------------------------------------------- replace_file */
void replace_file(const std::filesystem::path& file, std::string_view bytes) {
    static std::atomic<unsigned> serial{0};
    std::filesystem::path temporary = file;
    temporary += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(serial++);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail_with_errno(file, errno);
    int code = write_all(fd, bytes);
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) code = errno;
    if (code != 0) {
        ::unlink(temporary.c_str());
        fail_with_errno(file, code);
    }
}

void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    replace_file(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace base
