// Work files written on a thread of their own while the caller goes on drawing the next one: a
// figure pass of thousands of block metafiles spent a third of its time in the kernel creating,
// writing and renaming them. Files are written in the order given, each as replace_file writes
// a work file (complete or absent, and kept in memory for load_file).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace base {

class WorkFileWriter {
  public:
    WorkFileWriter();
    // Writes the files given before it returns, as replace_file would have; failures pass
    // unseen (a caller that did not finish() is telling an error of its own).
    ~WorkFileWriter();
    WorkFileWriter(const WorkFileWriter&) = delete;
    WorkFileWriter& operator=(const WorkFileWriter&) = delete;

    // Queues the file; waits while a few megabytes are queued. Throws the RunTimeError of an
    // earlier file that could not be written: after a failure nothing more is written.
    void write(std::filesystem::path file, std::string bytes);
    // Waits until every file given is written; the RunTimeError of the first that was not.
    void finish();

  private:
    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::filesystem::path, std::string>> queue_;
    std::size_t queued_bytes_ = 0;
    bool writing_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread worker_;
};

}  // namespace base
