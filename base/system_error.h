// Failed system calls as the programs report them: one table from a system error code to our
// error number, so that a file name too long or a full disk reads the same for every file.
#pragma once

#include <filesystem>
#include <string>

#include "base/run_time_error.h"

namespace base {

// A missing file means "file not found" to whoever wanted to read it, but "path not found" to
// whoever wanted to create it in a folder that is not there.
enum class FileAccess { read, write };

ErrorNumber error_number_for(int system_error, FileAccess access) noexcept;

// Why a system call failed, in Japanese, for a message box (UTF-8).
std::string system_reason(int system_error);

// The error with its description and, as context, the path and why.
RunTimeError system_error(int system_error, const std::filesystem::path& path, FileAccess access);

}  // namespace base
