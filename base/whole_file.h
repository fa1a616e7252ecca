// File access for the readers and writers: whole files in, whole files out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/atomic_file.h"

namespace base {

// A job file mapped into memory rather than read into it, for a reader that goes through it
// front to back: the pages already read can be given back as reading moves on, so that a long
// job's files take the memory of the part being read. Errors as load_file.
class MappedFile {
  public:
    explicit MappedFile(const std::filesystem::path& file);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const noexcept { return {data_, size_}; }
    // The bytes before `offset` will not be read again soon: their memory may go. Reading them
    // after all still works (they come back from the file).
    void release_before(std::size_t offset) noexcept;
    // All the memory goes, for a reader that starts again from the beginning.
    void release_all() noexcept;

  private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t released_ = 0;
};

// The bytes of a job or hand-off file. base::RunTimeError file_not_found when it does not exist,
// path_file_access when it cannot be read. A work file this process has just written through
// replace_file (Durability::renamed) and that is unchanged on the disk comes from memory.
std::string load_file(const std::filesystem::path& file);

// What a path names, following symbolic links.
enum class PathKind { missing, file, folder, other };

// Missing when nothing is there, also when a folder on the way is a file. A path that cannot be
// examined (a folder on the way that may not be searched, a name too long, a loop of symbolic
// links) is a RunTimeError naming it: it is never taken for missing.
PathKind path_kind(const std::filesystem::path& path);

// Removes a file an earlier step or run wrote; nothing there is no error. A folder in its
// place, or a failure, is a RunTimeError naming the file.
void remove_file(const std::filesystem::path& file);

// Replaces `file` with exactly `bytes` through an AtomicFile: the file is either complete or
// left as it was. RunTimeError on failure (path not found for a missing folder, permission
// denied, device I/O), numbered by base::error_number_for. A work file (Durability::renamed)
// is also kept in memory for a while, for load_file.
void replace_file(const std::filesystem::path& file, std::string_view bytes,
                  Durability durability = Durability::flushed);
void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Durability durability = Durability::flushed);

}  // namespace base
