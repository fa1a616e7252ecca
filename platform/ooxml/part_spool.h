// Parts deflated on a thread of their own into a spool: the thread that makes a package's parts
// goes on with the next one while the last is deflated, on the machine's second core.
//
// Work is done in the order it is given. A part's fields are complete once wait() has
// returned; the first failure of the work (a full disk) is thrown by wait() and by every later
// call that gives work, so that a package never passes over a part that was lost.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
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
    // The number of the work given last: wait_for(that number) waits for it and what came
    // before it, not for what came after.
    std::uint64_t last_given() const;
    void wait_for(std::uint64_t given);
    // Keeps `bytes` as they are (offset and size in `part`; no CRC), under the same terms.
    void store(std::string bytes, SpooledPart& part);

    // Hands the compressed bytes of a part made here to `sink`, in pieces; after wait().
    void copy(const DeflatedPart& part, const std::function<void(std::string_view)>& sink) const;
    void copy(const SpooledPart& part, const std::function<void(std::string_view)>& sink) const;
    // The bytes of a part made here, inflated again; waits for the work first.
    std::string inflate(const DeflatedPart& part);
    std::string inflate(const SpooledPart& part);

  private:
    // Runs `task` on the worker once the work before it is done. Waits while more than a few
    // megabytes are queued, so that a maker faster than deflate does not fill the memory.
    void give(std::function<void()> task, std::size_t bytes);
    void work();
    void rethrow_failure();
    // On the worker: the part of `bytes` deflated whole.
    DeflatedPart deflate_whole(std::string_view bytes);

    Spool spool_;
    // The worker's deflater of whole parts, kept from one to the next: a package of thousands
    // of small pictures would otherwise spend its time making zlib's tables.
    std::unique_ptr<Deflater> whole_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::function<void()>, std::size_t>> queue_;
    std::size_t queued_bytes_ = 0;
    std::uint64_t given_ = 0;  // numbers of the work given and done so far
    std::uint64_t done_ = 0;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};

}  // namespace ooxml
