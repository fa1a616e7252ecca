#include "platform/ooxml/part_spool.h"

#include <cstdint>
#include <utility>

#include "base/run_time_error.h"

namespace ooxml {

namespace {

constexpr std::size_t queue_limit = std::size_t{2} << 20;

[[noreturn]] void too_large() {
    throw base::RunTimeError(base::ErrorNumber::device_io, "part of 4 GB or more");
}

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
    give(
        [this, part, bytes = std::move(bytes)](Deflater& whole) {
            const SpooledPart spooled = deflate_whole(whole, bytes);
            part->crc = spooled.crc;
            part->size = spooled.size;
            part->compressed_size = spooled.compressed_size;
            part->pieces.emplace_back(spooled.offset, spooled.compressed_size);
        },
        size, true);
    return part;
}

void PartSpool::deflate(std::string bytes, SpooledPart& part) {
    const std::size_t size = bytes.size();
    give([this, &part,
          bytes = std::move(bytes)](Deflater& whole) { part = deflate_whole(whole, bytes); },
         size, true);
}

void PartSpool::deflate(const SpooledPart& stored, SpooledPart& part) {
    give(
        [this, &stored, &part](Deflater& whole) {
            std::string bytes;
            bytes.reserve(stored.size);
            spool_.read(stored.offset, stored.size,
                        [&](std::string_view piece) { bytes.append(piece); });
            part = deflate_whole(whole, bytes);
        },
        stored.size, false);
}

/* ---------------------------------------------------------------- PartSpool::store */
void PartSpool::store(std::string bytes, SpooledPart& part) {
    const std::size_t size = bytes.size();
    give([this, &part, bytes = std::move(bytes)](Deflater&) { part = keep(bytes); }, size, true);
}

void PartSpool::store(std::function<std::string()> make, std::size_t size, SpooledPart& part) {
    give([this, &part, make = std::move(make)](Deflater&) { part = keep(make()); }, size, false);
}

/* ---------------------------------------------------------------- PartSpool::keep */
SpooledPart PartSpool::keep(std::string_view bytes) {
    if (bytes.size() >= UINT32_MAX) too_large();
    const auto size = static_cast<std::uint32_t>(bytes.size());
    return {
        spool_.append(bytes), size, size,
        static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), size))};
}

/* ---------------------------------------------------------------- PartSpool::deflate_whole */
SpooledPart PartSpool::deflate_whole(Deflater& whole, std::string_view bytes) {
    whole.restart();
    whole.write(bytes);
    const DeflatedPart part = whole.finish();
    if (part.size >= UINT32_MAX || part.compressed_size >= UINT32_MAX) too_large();
    const std::uint64_t offset = part.pieces.empty() ? 0 : part.pieces.front().first;
    return {offset, static_cast<std::uint32_t>(part.compressed_size),
            static_cast<std::uint32_t>(part.size), part.crc};
}

/* ---------------------------------------------------------------- PartSpool::open_stream */
PartSpool::Stream PartSpool::open_stream() {
    auto slot = std::make_shared<Stream::Slot>();
    give([this, slot](Deflater&) { slot->deflater = std::make_unique<Deflater>(spool_); }, 0,
         false);
    return Stream(*this, slot);
}

/* ---------------------------------------------------------------- PartSpool::Stream::write */
void PartSpool::Stream::write(std::string bytes) {
    const std::size_t size = bytes.size();
    owner_->give(
        [slot = slot_, bytes = std::move(bytes)](Deflater&) { slot->deflater->write(bytes); }, size,
        false);
}

/* ---------------------------------------------------------------- PartSpool::Stream::finish */
PartSpool::Part PartSpool::Stream::finish() {
    auto part = std::make_shared<DeflatedPart>();
    owner_->give(
        [slot = slot_, part](Deflater&) {
            *part = slot->deflater->finish();
            slot->deflater.reset();
        },
        0, false);
    return part;
}

/* ---------------------------------------------------------------- PartSpool::Stream::fork */
PartSpool::Stream PartSpool::Stream::fork() const {
    auto copy = std::make_shared<Slot>();
    owner_->give([slot = slot_, copy](Deflater&) { copy->deflater = slot->deflater->fork(); }, 0,
                 false);
    return Stream(*owner_, copy);
}

/* ---------------------------------------------------------------- PartSpool::wait */
void PartSpool::wait() {
    std::unique_lock lock(mutex_);
    while (!(done_ == given_ || failure_)) {
        if (!help(lock, given_)) changed_.wait(lock);
    }
    rethrow_failure();
}

/* ---------------------------------------------------------------- PartSpool::drain */
void PartSpool::drain() noexcept {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_ == given_; });
}

/* ---------------------------------------------------------------- PartSpool::last_given */
std::uint64_t PartSpool::last_given() const {
    const std::lock_guard lock(mutex_);
    return given_;
}

/* ---------------------------------------------------------------- PartSpool::wait_for */
void PartSpool::wait_for(std::uint64_t given) {
    std::unique_lock lock(mutex_);
    // Only the work waited for is taken: work given after it is left to the worker, which would
    // otherwise sit idle while this thread goes on to make the next part.
    while (!(done_ >= given || failure_)) {
        if (!help(lock, given)) changed_.wait(lock);
    }
    rethrow_failure();
}

/* ---------------------------------------------------------------- PartSpool::done */
bool PartSpool::done(std::uint64_t given) const {
    const std::lock_guard lock(mutex_);
    return done_ >= given && !failure_;
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
std::string PartSpool::inflate(const DeflatedPart& part, std::uint64_t given) {
    wait_for(given);
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

std::string PartSpool::inflate(const SpooledPart& part, std::uint64_t given) {
    // The part's fields too are the work's to fill in.
    wait_for(given);
    DeflatedPart whole;
    whole.crc = part.crc;
    whole.size = part.size;
    whole.compressed_size = part.compressed_size;
    whole.pieces.emplace_back(part.offset, part.compressed_size);
    return inflate(whole, given);
}

/* ---------------------------------------------------------------- PartSpool::give */
void PartSpool::give(std::function<void(Deflater& whole)> run, std::size_t bytes,
                     bool independent) {
    std::unique_lock lock(mutex_);
    while (!(queued_bytes_ < queue_limit || failure_)) {
        if (!help(lock, given_)) changed_.wait(lock);
    }
    rethrow_failure();
    queue_.push_back({std::move(run), bytes, ++given_, independent});
    queued_bytes_ += bytes;
    lock.unlock();
    changed_.notify_all();
}

/* ---------------------------------------------------------------- PartSpool::rethrow_failure */
void PartSpool::rethrow_failure() {
    if (failure_) std::rethrow_exception(failure_);
}

/* ---------------------------------------------------------------- PartSpool::help */
bool PartSpool::help(std::unique_lock<std::mutex>& lock, std::uint64_t up_to) {
    if (helping_ || queue_.empty() || !queue_.front().independent ||
        queue_.front().number > up_to || failure_) {
        return false;
    }
    Task task = std::move(queue_.front());
    queue_.pop_front();
    helping_ = true;
    run(std::move(task), helper_whole_, lock);
    helping_ = false;
    return true;
}

/* ---------------------------------------------------------------- PartSpool::run */
void PartSpool::run(Task task, Deflater& whole, std::unique_lock<std::mutex>& lock) {
    ++running_;
    // After a failure the rest of the work is dropped: the package cannot be whole.
    const bool failed = static_cast<bool>(failure_);
    lock.unlock();
    std::exception_ptr caught;
    if (!failed) {
        try {
            task.run(whole);
        } catch (...) {
            caught = std::current_exception();
        }
    }
    task.run = nullptr;
    lock.lock();
    --running_;
    if (caught && !failure_) failure_ = caught;
    queued_bytes_ -= task.bytes;
    if (task.number == done_ + 1) {
        ++done_;
        while (!ahead_.empty() && *ahead_.begin() == done_ + 1) {
            ahead_.erase(ahead_.begin());
            ++done_;
        }
    } else {
        ahead_.insert(task.number);
    }
    changed_.notify_all();
}

/* ---------------------------------------------------------------- PartSpool::work */
void PartSpool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        // A task that builds on the work before it waits until that is done, wherever it ran.
        changed_.wait(lock, [this] {
            return stopping_ && queue_.empty() ? true
                   : queue_.empty()
                       ? false
                       : queue_.front().independent || done_ + 1 == queue_.front().number;
        });
        if (queue_.empty()) return;
        Task task = std::move(queue_.front());
        queue_.pop_front();
        run(std::move(task), worker_whole_, lock);
    }
}

}  // namespace ooxml
