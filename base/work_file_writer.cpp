#include "base/work_file_writer.h"

#include "base/whole_file.h"

namespace base {

namespace {

constexpr std::size_t queue_limit = std::size_t{4} << 20;

}  // namespace

/* ---------------------------------------------------------------- WorkFileWriter */
WorkFileWriter::WorkFileWriter() : worker_([this] { work(); }) {}

WorkFileWriter::~WorkFileWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

/* ---------------------------------------------------------------- WorkFileWriter::write */
void WorkFileWriter::write(std::filesystem::path file, std::string bytes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_bytes_ < queue_limit || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    queued_bytes_ += bytes.size();
    queue_.emplace_back(std::move(file), std::move(bytes));
    lock.unlock();
    changed_.notify_all();
}

/* ---------------------------------------------------------------- WorkFileWriter::finish */
void WorkFileWriter::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (queue_.empty() && !writing_) || failure_; });
    if (failure_) std::rethrow_exception(failure_);
}

/* ---------------------------------------------------------------- WorkFileWriter::work */
void WorkFileWriter::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;
        auto [file, bytes] = std::move(queue_.front());
        queue_.pop_front();
        writing_ = true;
        lock.unlock();
        std::exception_ptr caught;
        try {
            replace_file(file, bytes, Durability::renamed);
        } catch (...) {
            caught = std::current_exception();
        }
        lock.lock();
        writing_ = false;
        queued_bytes_ -= bytes.size();
        if (caught && !failure_) {
            failure_ = caught;
            queued_bytes_ = 0;
            queue_.clear();
        }
        changed_.notify_all();
    }
}

}  // namespace base
