#include "platform/ooxml/deflater.h"

#include <algorithm>
#include <climits>

#include "base/run_time_error.h"

namespace ooxml {

namespace {

constexpr int level = 6;
constexpr int memory_level = 9;
constexpr std::size_t output_size = std::size_t{1} << 16;

[[noreturn]] void deflate_failure(const char* what) {
    throw base::RunTimeError(base::ErrorNumber::out_of_memory, std::string("deflate: ") + what);
}

}  // namespace

/* ---------------------------------------------------------------- Deflater */
Deflater::Deflater(Spool& spool, bool gather)
    : spool_(spool), gather_(gather), output_(output_size) {
    if (deflateInit2(&stream_, level, Z_DEFLATED, -MAX_WBITS, memory_level, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        deflate_failure("init");
    }
    stream_.next_out = output_.data();
    stream_.avail_out = static_cast<uInt>(output_.size());
}

Deflater::~Deflater() {
    deflateEnd(&stream_);
}

/* ---------------------------------------------------------------- Deflater::write */
void Deflater::write(std::string_view bytes) {
    part_.size += bytes.size();
    while (!bytes.empty()) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(bytes.size(), UINT_MAX));
        // zlib reads its input through a non-const pointer but never writes to it.
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream_.avail_in = n;
        part_.crc = static_cast<std::uint32_t>(crc32(part_.crc, stream_.next_in, n));
        deflate_input(Z_NO_FLUSH);
        bytes.remove_prefix(n);
    }
}

/* ---------------------------------------------------------------- Deflater::finish */
DeflatedPart Deflater::finish() {
    stream_.next_in = nullptr;
    stream_.avail_in = 0;
    deflate_input(Z_FINISH);
    keep_output();
    if (gather_ && !gathered_.empty()) {
        part_.pieces.emplace_back(spool_.append(gathered_), gathered_.size());
        gathered_.clear();
    }
    return std::move(part_);
}

/* ---------------------------------------------------------------- Deflater::restart */
void Deflater::restart() {
    if (deflateReset(&stream_) != Z_OK) deflate_failure("reset");
    stream_.next_out = output_.data();
    stream_.avail_out = static_cast<uInt>(output_.size());
    gathered_.clear();
    part_ = {};
}

/* ---------------------------------------------------------------- Deflater::fork */
std::unique_ptr<Deflater> Deflater::fork() const {
    auto copy = std::make_unique<Deflater>(spool_, gather_);
    deflateEnd(&copy->stream_);
    // deflateCopy does not change its source; zlib's signature just lacks the const.
    if (deflateCopy(&copy->stream_, const_cast<z_stream*>(&stream_)) != Z_OK) {
        deflate_failure("copy");
    }
    copy->output_ = output_;
    copy->stream_.next_out = copy->output_.data() + (stream_.next_out - output_.data());
    copy->part_ = part_;
    copy->gathered_ = gathered_;
    return copy;
}

/* ---------------------------------------------------------------- Deflater::deflate_input */
void Deflater::deflate_input(int flush) {
    for (;;) {
        const int result = deflate(&stream_, flush);
        if (result == Z_STREAM_ERROR) deflate_failure("stream");
        if (stream_.avail_out == 0) {
            keep_output();
            continue;
        }
        if (flush == Z_FINISH ? result == Z_STREAM_END : stream_.avail_in == 0) return;
    }
}

/* ---------------------------------------------------------------- Deflater::keep_output */
void Deflater::keep_output() {
    const auto n = static_cast<std::size_t>(stream_.next_out - output_.data());
    if (n > 0 && gather_) {
        gathered_.append(reinterpret_cast<const char*>(output_.data()), n);
        part_.compressed_size += n;
    } else if (n > 0) {
        const std::uint64_t at =
            spool_.append(std::string_view(reinterpret_cast<const char*>(output_.data()), n));
        if (!part_.pieces.empty() && part_.pieces.back().first + part_.pieces.back().second == at) {
            part_.pieces.back().second += n;
        } else {
            part_.pieces.emplace_back(at, n);
        }
        part_.compressed_size += n;
    }
    stream_.next_out = output_.data();
    stream_.avail_out = static_cast<uInt>(output_.size());
}

}  // namespace ooxml
