// A file that appears under its name complete or not at all. Every file the programs write
// (documents, workbooks, metafiles, canvases, hand-off files) goes through here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace base {

// How far a commit goes. A document the user keeps is flushed to the disk before its rename.
// A work file the next run writes again (block metafiles, canvases, hand-off and run files) is
// only renamed: flushing each of a long job's thousands of metafiles made the run ten times
// slower, and a crash that loses one loses a run that is repeated anyway.
enum class Durability { flushed, renamed };

// Written under a hidden temporary name in the destination's folder, flushed to the disk and
// renamed over the destination by commit(). Destroyed without commit(), it removes the
// temporary file and leaves the destination as it was. Every failure is a RunTimeError
// whose context names the destination.
class AtomicFile {
  public:
    // Refuses at once a destination that is a folder or whose folder does not exist.
    explicit AtomicFile(std::filesystem::path file, Durability durability = Durability::flushed);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes at the current position and moves past the bytes.
    void write(std::string_view bytes);
    // Moves the position, for formats that fill in a header after its data.
    void seek(std::uint64_t position);
    std::uint64_t position() const noexcept { return position_; }
    // The bytes written so far, the furthest position reached.
    std::uint64_t size() const noexcept { return size_; }

    void commit();

    const std::filesystem::path& file() const noexcept { return file_; }

  private:
    [[noreturn]] void fail(int system_error);
    void discard() noexcept;

    std::filesystem::path file_;
    Durability durability_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    int slot_ = -1;  // where remove_temporary_files() finds the temporary name
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
};

// Removes the temporary file of every AtomicFile still being written. Safe in a signal handler:
// a program that a signal ends calls it last, so that no temporary file is left behind. The
// destinations stay as they were.
void remove_temporary_files() noexcept;

}  // namespace base
