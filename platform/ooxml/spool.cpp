#include "platform/ooxml/spool.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "base/system_error.h"

namespace ooxml {

namespace {

constexpr std::size_t buffer_size = std::size_t{1} << 20;

[[noreturn]] void spool_failure(int code) {
    throw base::system_error(code, std::filesystem::temp_directory_path() / "(spool)",
                             base::FileAccess::write);
}

// An unnamed file where the file system makes one; elsewhere a named one, unlinked at once.
int open_unnamed(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    std::string name = (folder / "vs-spool-XXXXXX").string();
    const int named = ::mkostemp(name.data(), O_CLOEXEC);
    if (named >= 0) ::unlink(name.c_str());
    return named;
}

}  // namespace

/* ---------------------------------------------------------------- Spool */
Spool::Spool() {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    fd_ = open_unnamed(ec ? std::filesystem::path("/tmp") : folder);
    if (fd_ < 0) spool_failure(errno);
    buffer_.reserve(buffer_size);
}

Spool::~Spool() {
    if (fd_ >= 0) ::close(fd_);
}

/* ---------------------------------------------------------------- Spool::append */
std::uint64_t Spool::append(std::string_view bytes) {
    const std::lock_guard lock(mutex_);
    const std::uint64_t at = written_ + buffer_.size();
    if (buffer_.size() + bytes.size() > buffer_size) flush_buffer();
    if (bytes.size() >= buffer_size) {
        // Written as they are: copying them into the buffer first would gain nothing.
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) spool_failure(errno);
            done += static_cast<std::size_t>(n);
        }
        written_ += bytes.size();
    } else {
        buffer_.append(bytes);
    }
    return at;
}

/* ---------------------------------------------------------------- Spool::flush_buffer */
void Spool::flush_buffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) spool_failure(errno);
        done += static_cast<std::size_t>(n);
    }
    written_ += buffer_.size();
    buffer_.clear();
}

/* ---------------------------------------------------------------- Spool::read */
void Spool::read(std::uint64_t offset, std::uint64_t size,
                 const std::function<void(std::string_view)>& sink) const {
    const std::lock_guard lock(mutex_);
    std::vector<char> chunk(std::min<std::uint64_t>(size, buffer_size));
    while (size > 0 && offset < written_) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>({size, chunk.size(), written_ - offset}));
        const ssize_t n = ::pread(fd_, chunk.data(), want, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) spool_failure(n < 0 ? errno : EIO);
        sink(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::uint64_t>(n);
    }
    if (size > 0) {
        const std::size_t from = static_cast<std::size_t>(offset - written_);
        if (from + size > buffer_.size()) spool_failure(EINVAL);
        sink(std::string_view(buffer_).substr(from, static_cast<std::size_t>(size)));
    }
}

}  // namespace ooxml
