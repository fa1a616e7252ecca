#include "platform/ooxml/part_spool.h"

#include <cstdint>
#include <utility>

#include "base/run_time_error.h"

namespace ooxml {

namespace {

constexpr std::size_t queue_limit = std::size_t{2} << 20;

}  // namespace

/* ---------------------------------------------------------------- PartSpool */
PartSpool::PartSpool() : worker_([this] { work(); }) {}

PartSpool::~PartSpool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

/* ---------------------------------------------------------------- PartSpool::deflate */
PartSpool::Part PartSpool::deflate(std::string bytes) {
    auto part = std::make_shared<DeflatedPart>();
    const std::size_t size = bytes.size();
    give([this, part, bytes = std::move(bytes)] { *part = deflate_whole(bytes); }, size);
    return part;
}

void PartSpool::deflate(std::string bytes, SpooledPart& part) {
    const std::size_t size = bytes.size();
    give(
        [this, &part, bytes = std::move(bytes)] {
            const DeflatedPart whole = deflate_whole(bytes);
            // One task appends alone, so the part is one stretch of the spool.
            if (whole.size > UINT32_MAX || whole.compressed_size > UINT32_MAX ||
                whole.pieces.size() != 1) {
                throw base::RunTimeError(base::ErrorNumber::device_io, "part of 4 GB or more");
            }
            part = {whole.pieces.front().first, static_cast<std::uint32_t>(whole.compressed_size),
                    static_cast<std::uint32_t>(whole.size), whole.crc};
        },
        size);
}

/* ---------------------------------------------------------------- PartSpool::store */
void PartSpool::store(std::string bytes, SpooledPart& part) {
    const std::size_t size = bytes.size();
    give(
        [this, &part, bytes = std::move(bytes)] {
            part.offset = spool_.append(bytes);
            part.compressed_size = part.size = static_cast<std::uint32_t>(bytes.size());
        },
        size);
}

/* ---------------------------------------------------------------- PartSpool::deflate_whole */
DeflatedPart PartSpool::deflate_whole(std::string_view bytes) {
    if (whole_) {
        whole_->restart();
    } else {
        whole_ = std::make_unique<Deflater>(spool_);
    }
    whole_->write(bytes);
    return whole_->finish();
}

/* ---------------------------------------------------------------- PartSpool::open_stream */
PartSpool::Stream PartSpool::open_stream() {
    auto slot = std::make_shared<Stream::Slot>();
    give([this, slot] { slot->deflater = std::make_unique<Deflater>(spool_); }, 0);
    return Stream(*this, slot);
}

/* ---------------------------------------------------------------- PartSpool::Stream::write */
void PartSpool::Stream::write(std::string bytes) {
    const std::size_t size = bytes.size();
    owner_->give([slot = slot_, bytes = std::move(bytes)] { slot->deflater->write(bytes); }, size);
}

/* ---------------------------------------------------------------- PartSpool::Stream::finish */
PartSpool::Part PartSpool::Stream::finish() {
    auto part = std::make_shared<DeflatedPart>();
    owner_->give(
        [slot = slot_, part] {
            *part = slot->deflater->finish();
            slot->deflater.reset();
        },
        0);
    return part;
}

/* ---------------------------------------------------------------- PartSpool::Stream::fork */
PartSpool::Stream PartSpool::Stream::fork() const {
    auto copy = std::make_shared<Slot>();
    owner_->give([slot = slot_, copy] { copy->deflater = slot->deflater->fork(); }, 0);
    return Stream(*owner_, copy);
}

/* ---------------------------------------------------------------- PartSpool::wait */
void PartSpool::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
    rethrow_failure();
}

/* ---------------------------------------------------------------- PartSpool::last_given */
std::uint64_t PartSpool::last_given() const {
    const std::lock_guard lock(mutex_);
    return given_;
}

/* ---------------------------------------------------------------- PartSpool::wait_for */
void PartSpool::wait_for(std::uint64_t given) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this, given] { return done_ >= given || failure_; });
    rethrow_failure();
}

/* ---------------------------------------------------------------- PartSpool::copy */
void PartSpool::copy(const DeflatedPart& part,
                     const std::function<void(std::string_view)>& sink) const {
    for (const auto& [offset, size] : part.pieces) spool_.read(offset, size, sink);
}

void PartSpool::copy(const SpooledPart& part,
                     const std::function<void(std::string_view)>& sink) const {
    spool_.read(part.offset, part.compressed_size, sink);
}

/* ---------------------------------------------------------------- PartSpool::inflate */
std::string PartSpool::inflate(const DeflatedPart& part) {
    wait();
    // One byte of room more than the part: a stream that runs on past its size shows itself.
    std::string bytes(static_cast<std::size_t>(part.size) + 1, '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        throw base::RunTimeError(base::ErrorNumber::out_of_memory, "inflate: init");
    }
    stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_out = static_cast<uInt>(bytes.size());
    int result = Z_OK;
    copy(part, [&](std::string_view piece) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        stream.avail_in = static_cast<uInt>(piece.size());
        while (stream.avail_in > 0 && result == Z_OK) result = ::inflate(&stream, Z_NO_FLUSH);
    });
    bytes.resize(static_cast<std::size_t>(part.size));
    const bool whole = result == Z_STREAM_END && stream.total_out == part.size &&
                       crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                             static_cast<uInt>(bytes.size())) == part.crc;
    inflateEnd(&stream);
    if (!whole) throw base::RunTimeError(base::ErrorNumber::device_io, "spool: part damaged");
    return bytes;
}

std::string PartSpool::inflate(const SpooledPart& part) {
    wait();
    DeflatedPart whole;
    whole.crc = part.crc;
    whole.size = part.size;
    whole.compressed_size = part.compressed_size;
    whole.pieces.emplace_back(part.offset, part.compressed_size);
    return inflate(whole);
}

/* ---------------------------------------------------------------- PartSpool::give */
void PartSpool::give(std::function<void()> task, std::size_t bytes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_bytes_ < queue_limit || failure_; });
    rethrow_failure();
    queue_.emplace_back(std::move(task), bytes);
    queued_bytes_ += bytes;
    ++given_;
    lock.unlock();
    changed_.notify_all();
}

/* ---------------------------------------------------------------- PartSpool::rethrow_failure */
void PartSpool::rethrow_failure() {
    if (failure_) std::rethrow_exception(failure_);
}

/* ---------------------------------------------------------------- PartSpool::work */
void PartSpool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        auto [task, bytes] = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        const bool failed = static_cast<bool>(failure_);
        lock.unlock();
        std::exception_ptr caught;
        // After a failure the rest of the work is dropped: the package cannot be whole.
        if (!failed) {
            try {
                task();
            } catch (...) {
                caught = std::current_exception();
            }
        }
        task = nullptr;
        lock.lock();
        if (caught && !failure_) failure_ = caught;
        queued_bytes_ -= bytes;
        ++done_;
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace ooxml
