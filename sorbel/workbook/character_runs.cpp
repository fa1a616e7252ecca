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
        checked_int16(static_cast<long long>(ranges.size()) + 1,
                      "文字の範囲が 32767 個を超えています");
        ranges.push_back(RangeEntry{run.start, run.length, kind, run.start});
    }
    run = PendingRun{};
}

void extend_run(PendingRun& run, std::int16_t position) {
    if (run.length == 0) run.start = position;
    run.length = checked_int16(run.length + 1, "上付き・小文字の範囲が 32767 文字を超えています");
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
        count = checked_int16(count + 1, "セルの文字が 32767 文字を超えています");
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
        "文字の位置が 32767 文字目を超えています");
}

/* ---------------------------------------------------------------- SpreadRanges */
std::string SpreadRanges(std::string_view line, std::vector<RangeEntry>& ranges) {
    if (ranges.empty()) return std::string(line);
    const std::vector<std::size_t> offsets = char_offsets(line);
    const long long char_total = static_cast<long long>(offsets.size()) - 1;

    // Each character takes the kind of the last run placed over it, as a later text wrote over
    // the earlier one's characters; runs of one kind that meet become one.
    std::vector<std::int16_t> kinds(static_cast<std::size_t>(char_total) + 1, 0);
    for (const RangeEntry& entry : ranges) {
        const long long first = std::max<long long>(ByteColumnToCharIndex(line, entry.start), 1);
        const long long end = std::min<long long>(first + entry.length, char_total + 1);
        for (long long k = first; k < end; ++k) kinds[static_cast<std::size_t>(k)] = entry.kind;
    }
    ranges.clear();
    for (long long k = 1; k <= char_total; ++k) {
        const std::int16_t kind = kinds[static_cast<std::size_t>(k)];
        if (kind == 0) continue;
        if (!ranges.empty() && ranges.back().kind == kind &&
            ranges.back().char_start + ranges.back().length == k) {
            ++ranges.back().length;
        } else {
            ranges.push_back(
                {checked_int16(static_cast<long long>(offsets[static_cast<std::size_t>(k - 1)]) + 1,
                               "文字の位置が 32767 文字目を超えています"),
                 1, kind, static_cast<std::int16_t>(k)});
        }
    }

    std::string out;
    out.reserve(line.size() * 2);
    std::size_t cursor = 0;  // byte offset in the line
    long long pads = 0;
    for (RangeEntry& entry : ranges) {
        const std::size_t first = offsets[static_cast<std::size_t>(entry.char_start - 1)];
        out.append(line.substr(cursor, first - cursor));
        for (long long k = entry.char_start; k < entry.char_start + entry.length; ++k) {
            const std::size_t from = offsets[static_cast<std::size_t>(k - 1)];
            const std::size_t to = offsets[static_cast<std::size_t>(k)];
            out.append(line.substr(from, to - from));
            out.append(to - from == 2 ? fullwidth_space : std::string_view(" "));
        }
        cursor = offsets[static_cast<std::size_t>(entry.char_start + entry.length - 1)];
        entry.char_start =
            checked_int16(entry.char_start + pads, "文字の位置が 32767 文字目を超えています");
        pads += entry.length;
        entry.length =
            checked_int16(entry.length * 2LL, "上付き・小文字の範囲が 16383 文字を超えています");
    }
    out.append(line.substr(cursor));
    return out;
}

}  // namespace workbook
