#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>

#include "base/system_error.h"

namespace base {

namespace {

std::filesystem::path temporary_name(const std::filesystem::path& file) {
    static std::atomic<unsigned> serial{0};
    std::filesystem::path name = file;
    name.replace_filename("." + file.filename().string() + "." + std::to_string(::getpid()) + "." +
                          std::to_string(serial++) + ".tmp");
    return name;
}

}  // namespace

/* ---------------------------------------------------------------- AtomicFile */
AtomicFile::AtomicFile(std::filesystem::path file, Durability durability)
    : file_(std::move(file)), durability_(durability) {
    // Caught here, not at the rename after all the work.
    struct stat st {};
    if (!file_.has_filename() || (::stat(file_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
        throw system_error(EISDIR, file_, FileAccess::write);
    }
    for (;;) {
        temporary_ = temporary_name(file_);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return;
        if (errno != EEXIST) throw system_error(errno, file_, FileAccess::write);
    }
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
    }
}

void AtomicFile::fail(int system_error_code) {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
        fd_ = -1;
    }
    throw system_error(system_error_code, file_, FileAccess::write);
}

/* ---------------------------------------------------------------- AtomicFile::write */
void AtomicFile::write(std::string_view bytes) {
    if (fd_ < 0) fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        position_ += static_cast<std::uint64_t>(n);
    }
    if (position_ > size_) size_ = position_;
}

/* ---------------------------------------------------------------- AtomicFile::seek */
void AtomicFile::seek(std::uint64_t position) {
    if (fd_ < 0) fail(EBADF);
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) fail(errno);
    position_ = position;
}

/* ---------------------------------------------------------------- AtomicFile::commit */
// fsync before the rename: after a crash the name shows either the old file or the whole new
// one, never a file of the right name and the wrong length.
void AtomicFile::commit() {
    if (fd_ < 0) fail(EBADF);
    if (durability_ == Durability::flushed && ::fsync(fd_) != 0) fail(errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 || ::rename(temporary_.c_str(), file_.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary_.c_str());
        throw system_error(code, file_, FileAccess::write);
    }
}

}  // namespace base
