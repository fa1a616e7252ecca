#include "base/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/atomic_file.h"
#include "base/system_error.h"

namespace base {

/* ---------------------------------------------------------------- load_file */
std::string load_file(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw system_error(errno, file, FileAccess::read);
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
}

void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Durability durability) {
    replace_file(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                 durability);
}

}  // namespace base
