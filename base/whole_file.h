// File access for the readers and writers: whole files in, whole files out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "base/atomic_file.h"

namespace base {

// The bytes of a job or hand-off file. base::RunTimeError file_not_found when it does not exist,
// path_file_access when it cannot be read.
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
// denied, device I/O), numbered by base::error_number_for.
void replace_file(const std::filesystem::path& file, std::string_view bytes,
                  Durability durability = Durability::flushed);
void replace_file(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                  Durability durability = Durability::flushed);

}  // namespace base
