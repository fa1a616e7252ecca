// Parts deflated on a thread of their own into a spool: the thread that makes a package's parts
// goes on with the next one while the last is deflated, on the machine's second core. A thread
// that has to wait for the work (for a part to be written, or for room in the queue) takes a
// part it waits for to deflate itself meanwhile, so that both cores deflate while nothing else
// is to do; work given after that part stays for the worker.
//
// Work is done in the order it is given, but for whole parts, which are independent of each
// other and may finish out of turn. A part's fields are complete once the work that makes it
// is done (wait_for); the first failure of the work (a full disk) is thrown by wait() and by
// every later call that gives work, so that a package never passes over a part that was lost.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>

#include "platform/ooxml/deflater.h"
#include "platform/ooxml/spool.h"

namespace ooxml {

class PartSpool {
  public:
    using Part = std::shared_ptr<DeflatedPart>;

    PartSpool();
    // Waits for the work given so far; its failures are no longer reported.
    ~PartSpool();
    PartSpool(const PartSpool&) = delete;
    PartSpool& operator=(const PartSpool&) = delete;

    // A part deflated whole.
    Part deflate(std::string bytes);
    // The same into `part`, which must stay where it is until wait() has returned (an element
    // of a deque, say). Device I/O error from wait() for a part of 4 GB or more.
    void deflate(std::string bytes, SpooledPart& part);

    // A part deflated piece by piece as it is made.
    class Stream {
      public:
        void write(std::string bytes);
        // The part of everything written; the stream takes no more.
        Part finish();
        // A stream that goes on from what this one has been given so far.
        Stream fork() const;

      private:
        friend class PartSpool;
        // The deflater is made and used on the worker only.
        struct Slot {
            std::unique_ptr<Deflater> deflater;
        };
        Stream(PartSpool& owner, std::shared_ptr<Slot> slot)
            : owner_(&owner), slot_(std::move(slot)) {}
        PartSpool* owner_;
        std::shared_ptr<Slot> slot_;
    };
    Stream open_stream();

    // Waits until all work given so far is done. RunTimeError of the first failure.
    void wait();
    // The same, for an owner about to let go of what the work fills in; failures pass unseen.
    void drain() noexcept;
    // The number of the work given last: wait_for(that number) waits for it and what came
    // before it, not for what came after.
    std::uint64_t last_given() const;
    void wait_for(std::uint64_t given);
    // Whether wait_for(given) would return at once without a failure.
    bool done(std::uint64_t given) const;
    // Keeps `bytes` as they are, with their CRC, under the same terms: a part that may go into
    // the package stored, or be deflated later.
    void store(std::string bytes, SpooledPart& part);
    // Deflates a part kept as it is into `part`, under the same terms.
    void deflate(const SpooledPart& stored, SpooledPart& part);
    // Keeps as it is the part `make` makes, on the spool's thread, in the order of the work:
    // for a part whose making is worth the second core. `size` is about what it will make.
    void store(std::function<std::string()> make, std::size_t size, SpooledPart& part);

    // Hands the compressed bytes of a part made here to `sink`, in pieces; after wait().
    void copy(const DeflatedPart& part, const std::function<void(std::string_view)>& sink) const;
    void copy(const SpooledPart& part, const std::function<void(std::string_view)>& sink) const;
    // The bytes of a part made here, inflated again. Waits first for the work that makes it:
    // `given` is what last_given() told once that work was given (and the work before it).
    std::string inflate(const DeflatedPart& part, std::uint64_t given);
    std::string inflate(const SpooledPart& part, std::uint64_t given);

  private:
    struct Task {
        std::function<void(Deflater& whole)> run;
        std::size_t bytes = 0;
        std::uint64_t number = 0;
        // Needs nothing of the work before it (a whole part): a waiting thread may take it.
        bool independent = false;
    };

    // Queues `run` after the work given before. Waits while more than a few megabytes are
    // queued, so that a maker faster than deflate does not fill the memory.
    void give(std::function<void(Deflater& whole)> run, std::size_t bytes, bool independent);
    void work();
    // Runs the task, with the lock released, and records it done. Called with the lock held.
    void run(Task task, Deflater& whole, std::unique_lock<std::mutex>& lock);
    // Instead of waiting: takes the next task when it is independent, no other thread helps
    // and it is numbered `up_to` or lower. Called with the lock held; false when there was
    // nothing to take.
    bool help(std::unique_lock<std::mutex>& lock, std::uint64_t up_to);
    void rethrow_failure();
    // The part of `bytes`, deflated whole by `whole`, as one stretch of the spool.
    SpooledPart deflate_whole(Deflater& whole, std::string_view bytes);
    // The bytes kept as they are, with their CRC.
    SpooledPart keep(std::string_view bytes);

    Spool spool_;
    // Deflaters of whole parts for the worker and for a helping thread, kept from one part to
    // the next: a package of thousands of small pictures would otherwise spend its time making
    // zlib's tables.
    Deflater worker_whole_{spool_, true};
    Deflater helper_whole_{spool_, true};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> queue_;
    std::size_t queued_bytes_ = 0;
    std::uint64_t given_ = 0;        // numbers of the work given
    std::uint64_t done_ = 0;         // all work up to this number is done
    std::set<std::uint64_t> ahead_;  // work done out of turn, beyond done_
    int running_ = 0;
    bool helping_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};

}  // namespace ooxml
