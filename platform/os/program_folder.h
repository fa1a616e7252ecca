// Where the running program lies, and where the job it converts lies.
#pragma once

#include <filesystem>
#include <optional>

namespace os {

// The folder of the running executable (resolved through /proc/self/exe, so a start through a
// symbolic link or from another current directory gives the same folder).
std::filesystem::path program_folder();

// The folder that holds the job files: the one given, made absolute, or the program's folder.
std::filesystem::path job_folder(const std::optional<std::filesystem::path>& given);

}  // namespace os
