// A temporary file that holds the compressed parts of a package until the package is written.
// A long document's parts are produced over the whole run, long before the package can be put
// together in its order; waiting here they take no memory. The file has no name, so nothing of
// it is left behind however the process ends.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace ooxml {

class Spool {
  public:
    // In the system's temporary folder. RunTimeError (the system's error) when no file can be
    // made there.
    Spool();
    ~Spool();
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    // Appends the bytes and returns the offset they start at. RunTimeError (device I/O, disk
    // full) when they cannot be written.
    std::uint64_t append(std::string_view bytes);
    // Hands the bytes [offset, offset + size) to `sink`, in pieces.
    void read(std::uint64_t offset, std::uint64_t size,
              const std::function<void(std::string_view)>& sink) const;

  private:
    // Appends wait in memory until there are enough of them for one write.
    void flush_buffer();

    mutable std::mutex mutex_;
    int fd_ = -1;
    std::string buffer_;
    std::uint64_t written_ = 0;  // bytes in the file; the buffer follows them
};

}  // namespace ooxml
