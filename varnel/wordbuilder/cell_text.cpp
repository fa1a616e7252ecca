#include "varnel/wordbuilder/cell_text.h"

#include "base/cp932.h"
#include "base/run_time_error.h"

namespace wordbuilder {

namespace {

enum class RunMode { normal, raised, lowered };

// The run mode a marker at `pos` switches to, if a marker starts there. Markers are looked for
// at character boundaries only, so a trail byte that reads "U", "S" or "Z" stays text.
bool marker_at(std::string_view text, std::size_t pos, RunMode& mode) {
    if (text[pos] != '$' || pos + 1 >= text.size()) return false;
    switch (text[pos + 1]) {
        case 'U':
            mode = RunMode::raised;
            return true;
        case 'S':
            mode = RunMode::lowered;
            return true;
        case 'Z':
            mode = RunMode::normal;
            return true;
        default:
            return false;
    }
}

void count_run(std::size_t& runs) {
    if (++runs > max_marker_runs) {
        throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                                 "more than 256 marker runs in one cell");
    }
}

}  // namespace

/* ---------------------------------------------------------------- parse_cell_text */
CellText parse_cell_text(std::string_view cp932_text) {
    CellText cell;
    RunMode mode = RunMode::normal;
    std::size_t raised_runs = 0;
    std::size_t lowered_runs = 0;
    std::int32_t characters = 0;
    std::size_t pos = 0;
    while (pos < cp932_text.size()) {
        RunMode next = mode;
        if (marker_at(cp932_text, pos, next)) {
            if (next == RunMode::raised && mode != RunMode::raised) count_run(raised_runs);
            if (next == RunMode::lowered && mode != RunMode::lowered) count_run(lowered_runs);
            mode = next;
            pos += 2;
            continue;
        }
        const std::size_t length = cp932::char_length_at(cp932_text, pos);
        cell.text.append(cp932_text.substr(pos, length));
        ++characters;
        if (mode == RunMode::raised) cell.raised.push_back(characters);
        if (mode == RunMode::lowered) cell.lowered.push_back(characters);
        pos += length;
    }
    return cell;
}

/* ---------------------------------------------------------------- remove_cell_markers */
std::string remove_cell_markers(std::string_view cp932_text) {
    std::string text;
    std::size_t pos = 0;
    while (pos < cp932_text.size()) {
        RunMode ignored = RunMode::normal;
        if (marker_at(cp932_text, pos, ignored)) {
            pos += 2;
            continue;
        }
        const std::size_t length = cp932::char_length_at(cp932_text, pos);
        text.append(cp932_text.substr(pos, length));
        pos += length;
    }
    return text;
}

}  // namespace wordbuilder
