// Writing a finished metafile: complete under its name, or not there at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace emf {

// Writes `bytes` to a temporary name in the same folder and renames it over `file`. Raises
// jobfiles::RunTimeError (path not found, permission denied or device I/O) and removes the
// temporary file when anything fails.
void write_file_atomically(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

}  // namespace emf
