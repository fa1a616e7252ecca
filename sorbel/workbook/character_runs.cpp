#include "sorbel/workbook/character_runs.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "base/cp932.h"
#include "base/run_time_error.h"

namespace workbook {

namespace {

constexpr std::string_view fullwidth_space = "\x81\x40";

std::int16_t checked_int16(long long value, const char* what) {
    if (value < -32768 || value > 32767) {
        throw base::RunTimeError(base::ErrorNumber::overflow, what);
    }
    return static_cast<std::int16_t>(value);
}

// The state a marker switches to, or -1 when `letter` makes no marker.
int marker_state(char letter) noexcept {
    switch (letter) {
        case 'U':
        case 'u':
            return 1;
        case 'S':
        case 's':
            return 2;
        case 'Z':
        case 'z':
            return 0;
        default:
            return -1;
    }
}

struct PendingRun {
    std::int16_t start = 0;
    std::int16_t length = 0;  // 0: unset
};

void close_run(PendingRun& run, std::int16_t kind, std::vector<RangeEntry>& ranges) {
    if (run.length > 0) {
        checked_int16(static_cast<long long>(ranges.size()) + 1, "more than 32767 ranges");
        ranges.push_back(RangeEntry{run.start, run.length, kind, run.start});
    }
    run = PendingRun{};
}

void extend_run(PendingRun& run, std::int16_t position) {
    if (run.length == 0) run.start = position;
    run.length = checked_int16(run.length + 1, "run longer than 32767 characters");
}

// Byte offsets of each character's start, and one past the last.
std::vector<std::size_t> char_offsets(std::string_view text) {
    std::vector<std::size_t> offsets;
    offsets.reserve(text.size() + 1);
    for (std::size_t pos = 0; pos < text.size(); pos += cp932::char_length_at(text, pos)) {
        offsets.push_back(pos);
    }
    offsets.push_back(text.size());
    return offsets;
}

}  // namespace

/* ---------------------------------------------------------------- SplitAttributes */
SplitText SplitAttributes(std::string_view text) {
    SplitText result;
    if (text.find('$') == std::string_view::npos) {
        result.text = std::string(text);
        return result;
    }
    result.text.reserve(text.size());
    int state = 0;
    std::int16_t count = 0;
    PendingRun superscript;
    PendingRun small;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t len = cp932::char_length_at(text, pos);
        if (len == 1 && text[pos] == '$' && cp932::char_length_at(text, pos + 1) == 1) {
            const int next = marker_state(text[pos + 1]);
            if (next >= 0) {
                state = next;
                pos += 2;
                continue;
            }
        }
        result.text.append(text.substr(pos, len));
        pos += len;
        count = checked_int16(count + 1, "cell text longer than 32767 characters");
        if (state == 1) {
            extend_run(superscript, count);
        } else if (state == 2) {
            extend_run(small, count);
        } else {
            close_run(superscript, run_superscript, result.ranges);
            close_run(small, run_small, result.ranges);
        }
    }
    close_run(superscript, run_superscript, result.ranges);
    close_run(small, run_small, result.ranges);
    return result;
}

/* ---------------------------------------------------------------- ByteColumnToCharIndex */
std::int16_t ByteColumnToCharIndex(std::string_view text, int column) {
    if (column <= 0) return 0;
    return checked_int16(
        static_cast<long long>(cp932::char_count_of_prefix(text, static_cast<std::size_t>(column))),
        "character index beyond 32767");
}

/* ---------------------------------------------------------------- SpreadRanges */
std::string SpreadRanges(std::string_view line, std::vector<RangeEntry>& ranges) {
    if (ranges.empty()) return std::string(line);
    for (RangeEntry& entry : ranges) entry.char_start = ByteColumnToCharIndex(line, entry.start);
    for (std::size_t i = 0; i + 1 < ranges.size(); ++i) {
        for (std::size_t j = i + 1; j < ranges.size(); ++j) {
            if (ranges[j].start < ranges[i].start) std::swap(ranges[i], ranges[j]);
        }
    }

    const std::vector<std::size_t> offsets = char_offsets(line);
    const long long char_total = static_cast<long long>(offsets.size()) - 1;
    // Byte offset of 1-based character `position`; positions past the end give the end.
    auto byte_at = [&](long long position) {
        return offsets[static_cast<std::size_t>(std::min(position, char_total + 1) - 1)];
    };

    std::string out;
    out.reserve(line.size() * 2);
    long long cursor = 1;
    long long pads = 0;
    for (RangeEntry& entry : ranges) {
        const long long first = entry.char_start;
        if (first < 1 || first < cursor) {
            throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                     "character range at byte column " +
                                         std::to_string(entry.start) +
                                         " starts inside the range before it");
        }
        out.append(line.substr(byte_at(cursor), byte_at(first) - byte_at(cursor)));
        for (long long k = first; k < first + entry.length; ++k) {
            const std::size_t from = byte_at(k);
            const std::size_t to = byte_at(k + 1);
            out.append(line.substr(from, to - from));
            out.append(to - from == 2 ? fullwidth_space : std::string_view(" "));
        }
        cursor = first + entry.length;
        entry.char_start = checked_int16(first + pads, "character start beyond 32767");
        pads += entry.length;
        entry.length = checked_int16(entry.length * 2LL, "range longer than 16383 characters");
    }
    out.append(line.substr(byte_at(cursor)));
    return out;
}

}  // namespace workbook
