#include "platform/word/runs.h"

#include <cstddef>

namespace word::detail {

namespace {

// Index of the run that starts at `offset`, splitting one if needed.
std::size_t boundary(std::vector<Run>& runs, std::int32_t offset) {
    std::int32_t pos = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (pos == offset) return i;
        if (offset < pos + runs[i].length) {
            const Run second{pos + runs[i].length - offset, runs[i].format};
            runs[i].length = offset - pos;
            runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, second);
            return i + 1;
        }
        pos += runs[i].length;
    }
    return runs.size();
}

}  // namespace

/* ---------------------------------------------------------------- normalize_runs */
void normalize_runs(std::vector<Run>& runs) {
    std::size_t out = 0;
    for (const Run& r : runs) {
        if (r.length <= 0) continue;
        if (out > 0 && runs[out - 1].format == r.format) {
            runs[out - 1].length += r.length;
        } else {
            runs[out++] = r;
        }
    }
    runs.resize(out);
}

/* ---------------------------------------------------------------- split_runs */
std::vector<Run> split_runs(std::vector<Run>& runs, std::int32_t offset) {
    const std::size_t at = boundary(runs, offset);
    std::vector<Run> tail(runs.begin() + static_cast<std::ptrdiff_t>(at), runs.end());
    runs.resize(at);
    return tail;
}

/* ---------------------------------------------------------------- insert_run */
void insert_run(std::vector<Run>& runs, std::int32_t offset, std::int32_t length,
                std::uint32_t format) {
    if (length <= 0) return;
    // Appending with the last run's format is the common case: keep it cheap.
    if (!runs.empty() && runs.back().format == format) {
        std::int32_t total = 0;
        for (const Run& r : runs) total += r.length;
        if (offset == total) {
            runs.back().length += length;
            return;
        }
    }
    const std::size_t at = boundary(runs, offset);
    runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(at), Run{length, format});
    normalize_runs(runs);
}

/* ---------------------------------------------------------------- erase_runs */
void erase_runs(std::vector<Run>& runs, std::int32_t from, std::int32_t to) {
    const std::size_t first = boundary(runs, from);
    const std::size_t last = boundary(runs, to);
    runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(first),
               runs.begin() + static_cast<std::ptrdiff_t>(last));
    normalize_runs(runs);
}

/* ---------------------------------------------------------------- map_runs */
void map_runs(std::vector<Run>& runs, std::int32_t from, std::int32_t to,
              const std::function<std::uint32_t(std::uint32_t)>& change) {
    const std::size_t first = boundary(runs, from);
    const std::size_t last = boundary(runs, to);
    for (std::size_t i = first; i < last; ++i) runs[i].format = change(runs[i].format);
    normalize_runs(runs);
}

}  // namespace word::detail
