#include "platform/emf/file_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "jobfiles/run_time_error.h"

namespace emf {

namespace {

[[noreturn]] void fail(int error, const std::filesystem::path& file) {
    using jobfiles::ErrorNumber;
    const ErrorNumber number = (error == ENOENT || error == ENOTDIR) ? ErrorNumber::path_not_found
                               : (error == EACCES || error == EPERM || error == EROFS)
                                   ? ErrorNumber::permission_denied
                                   : ErrorNumber::device_io;
    throw jobfiles::RunTimeError(
        number, "writing " + file.string() + ": " + std::generic_category().message(error));
}

}  // namespace

/* ---------------------------------------------------------------- write_file_atomically */
void write_file_atomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path temporary = file.string() + ".partial";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) fail(errno, file);
    std::size_t written = 0;
    int error = 0;
    while (written < bytes.size() && error == 0) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n == 0) {
            error = EIO;
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        fail(error, file);
    }
}

}  // namespace emf
