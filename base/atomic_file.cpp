#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <utility>

#include "base/system_error.h"

namespace base {

namespace {

// The temporary names being written, in a table a signal handler reads without a lock or an
// allocation. A name is entered before its file is created and leaves after the file is renamed
// or removed, so a file never exists without its entry. A full table only means that a signal
// may leave that one file behind.
struct TemporarySlot {
    std::atomic<int> state{0};  // free, being filled, holds a name
    char name[PATH_MAX]{};
};
constexpr int slot_free = 0;
constexpr int slot_filling = 1;
constexpr int slot_named = 2;
std::array<TemporarySlot, 32> temporaries;
static_assert(std::atomic<int>::is_always_lock_free);

int remember(const std::filesystem::path& temporary) noexcept {
    const std::string& name = temporary.native();
    if (name.size() >= PATH_MAX) return -1;
    for (std::size_t i = 0; i < temporaries.size(); ++i) {
        int expected = slot_free;
        if (!temporaries[i].state.compare_exchange_strong(expected, slot_filling)) continue;
        std::memcpy(temporaries[i].name, name.c_str(), name.size() + 1);
        temporaries[i].state.store(slot_named, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void forget(int slot) noexcept {
    if (slot >= 0) temporaries[static_cast<std::size_t>(slot)].state.store(slot_free);
}

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
        slot_ = remember(temporary_);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return;
        const int code = errno;
        forget(std::exchange(slot_, -1));
        if (code != EEXIST) throw system_error(code, file_, FileAccess::write);
    }
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() noexcept {
    if (fd_ < 0) return;
    ::close(std::exchange(fd_, -1));
    ::unlink(temporary_.c_str());
    forget(std::exchange(slot_, -1));
}

void AtomicFile::fail(int system_error_code) {
    discard();
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
    const bool renamed = ::close(fd) == 0 && ::rename(temporary_.c_str(), file_.c_str()) == 0;
    const int code = errno;
    if (!renamed) ::unlink(temporary_.c_str());
    forget(std::exchange(slot_, -1));
    if (!renamed) throw system_error(code, file_, FileAccess::write);
}

/* ---------------------------------------------------------------- remove_temporary_files */
void remove_temporary_files() noexcept {
    for (TemporarySlot& slot : temporaries) {
        if (slot.state.load(std::memory_order_acquire) == slot_named) ::unlink(slot.name);
    }
}

}  // namespace base
