// Deflating a part as a zip entry holds it: raw deflate at zlib's level 6 with the largest
// window and hash memory, the settings every part of our packages is written with, so that a
// part gives the same bytes whether it was deflated whole, piece by piece or on another thread.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ooxml/spool.h"

namespace ooxml {

// A deflated part waiting in a spool: what its zip entry records, and where its bytes are.
struct DeflatedPart {
    std::uint32_t crc = 0;
    std::uint64_t size = 0;  // inflated
    std::uint64_t compressed_size = 0;
    // Offset and length of each stretch of the compressed bytes in the spool, in order.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> pieces;
};

// A part deflated whole, whose bytes lie in one stretch of its spool: what a package holding
// thousands of pictures keeps of each until it is written.
struct SpooledPart {
    std::uint64_t offset = 0;
    std::uint32_t compressed_size = 0;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
};

// One part's deflate stream, writing its output into a spool as it fills.
class Deflater {
  public:
    // `gather`: the output is kept in memory and goes into the spool in one piece when the
    // part is finished, so that threads deflating parts side by side keep each part whole.
    explicit Deflater(Spool& spool, bool gather = false);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void write(std::string_view bytes);
    // Ends the stream; nothing may be written afterwards but after restart().
    DeflatedPart finish();
    // A new part from the start, with the memory the last one had.
    void restart();
    // An independent stream that has seen the same bytes: finishing it makes a part of what
    // was written so far and whatever it is given next, and this stream goes on unchanged.
    std::unique_ptr<Deflater> fork() const;

  private:
    void deflate_input(int flush);
    void keep_output();

    Spool& spool_;
    z_stream stream_{};
    bool gather_;
    std::vector<unsigned char> output_;
    std::string gathered_;
    DeflatedPart part_;
};

}  // namespace ooxml
