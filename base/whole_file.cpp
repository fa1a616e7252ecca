#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "base/atomic_file.h"
#include "base/system_error.h"

namespace base {

namespace {

// What a file was when it was written here: the same file, unchanged, has the same.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified_ns = 0;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> identity_of(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return Identity{st.st_dev, st.st_ino, st.st_size,
                    std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
}

// Work files this process has just written, for a reader in the same process that comes for
// them soon after: a block's metafile is drawn, then embedded in the document, and reading it
// back from the disk would only cost the time of the system calls. Only files the writer
// renamed into place without a flush are kept (documents are never read back), the newest few
// megabytes of them, and each is handed out once. A file that was changed or removed on the
// disk since is read from there.
class WrittenFiles {
  public:
    void keep(const std::filesystem::path& file, std::string bytes) {
        const std::optional<Identity> identity = identity_of(file);
        const std::lock_guard lock(mutex_);
        forget(file.native());
        if (!identity || bytes.size() > limit) return;
        size_ += bytes.size();
        kept_.emplace(file.native(), Kept{std::move(bytes), *identity, ++serial_});
        order_.emplace_back(file.native(), serial_);
        // Files handed out leave their place in the order behind: it is swept now and then.
        if (order_.size() > 2 * kept_.size() + 64) {
            std::erase_if(order_, [this](const auto& entry) {
                const auto it = kept_.find(entry.first);
                return it == kept_.end() || it->second.serial != entry.second;
            });
        }
        while (size_ > limit) {
            const auto [oldest, serial] = order_.front();
            order_.pop_front();
            const auto it = kept_.find(oldest);
            if (it != kept_.end() && it->second.serial == serial) {
                size_ -= it->second.bytes.size();
                kept_.erase(it);
            }
        }
    }

    std::optional<std::string> take(const std::filesystem::path& file) {
        std::optional<Kept> kept;
        {
            const std::lock_guard lock(mutex_);
            const auto it = kept_.find(file.native());
            if (it == kept_.end()) return std::nullopt;
            size_ -= it->second.bytes.size();
            kept.emplace(std::move(it->second));
            kept_.erase(it);
        }
        if (identity_of(file) != kept->identity) return std::nullopt;
        return std::move(kept->bytes);
    }

  private:
    static constexpr std::size_t limit = std::size_t{4} << 20;

    struct Kept {
        std::string bytes;
        Identity identity;
        std::uint64_t serial;
    };

    void forget(const std::string& path) {
        const auto it = kept_.find(path);
        if (it == kept_.end()) return;
        size_ -= it->second.bytes.size();
        kept_.erase(it);
    }

    std::mutex mutex_;
    std::unordered_map<std::string, Kept> kept_;
    std::deque<std::pair<std::string, std::uint64_t>> order_;
    std::size_t size_ = 0;
    std::uint64_t serial_ = 0;
};

WrittenFiles& written_files() {
    static WrittenFiles files;
    return files;
}

}  // namespace

/* ---------------------------------------------------------------- MappedFile */
MappedFile::MappedFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw system_error(errno, file, FileAccess::read);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int code = errno;
        ::close(fd);
        throw system_error(code, file, FileAccess::read);
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ > 0) {
        void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map == MAP_FAILED) {
            const int code = errno;
            ::close(fd);
            throw system_error(code, file, FileAccess::read);
        }
        data_ = static_cast<const char*>(map);
        ::madvise(map, size_, MADV_SEQUENTIAL);
    }
    ::close(fd);
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
}

/* ---------------------------------------------------------------- MappedFile::release_before */
void MappedFile::release_before(std::size_t offset) noexcept {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(offset, size_) / page * page;
    if (end <= released_) return;
    ::madvise(const_cast<char*>(data_) + released_, end - released_, MADV_DONTNEED);
    released_ = end;
}

/* ---------------------------------------------------------------- MappedFile::release_all */
void MappedFile::release_all() noexcept {
    if (data_ != nullptr) ::madvise(const_cast<char*>(data_), size_, MADV_DONTNEED);
    released_ = 0;
}

/* ---------------------------------------------------------------- load_file */
std::string load_file(const std::filesystem::path& file) {
    if (std::optional<std::string> kept = written_files().take(file)) return std::move(*kept);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw system_error(errno, file, FileAccess::read);
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
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
    if (code != 0) throw system_error(code, file, FileAccess::read);
    return bytes;
}

/* ---------------------------------------------------------------- path_kind */
PathKind path_kind(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return PathKind::missing;
        throw system_error(errno, path, FileAccess::read);
    }
    if (S_ISDIR(st.st_mode)) return PathKind::folder;
    return S_ISREG(st.st_mode) ? PathKind::file : PathKind::other;
}

/* ---------------------------------------------------------------- remove_file */
void remove_file(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
        throw system_error(errno, file, FileAccess::write);
    }
}

/* ---------------------------------------------------------------- replace_file */
void replace_file(const std::filesystem::path& file, std::string_view bytes,
                  Durability durability) {
    AtomicFile out(file, durability);
    out.write(bytes);
    out.commit();
    if (durability == Durability::renamed) written_files().keep(file, std::string(bytes));
}

void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Durability durability) {
    replace_file(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                 durability);
}

}  // namespace base
