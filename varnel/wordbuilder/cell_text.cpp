#include "varnel/wordbuilder/cell_text.h"

#include "jobfiles/cp932.h"
#include "jobfiles/run_time_error.h"

namespace wordbuilder {

namespace {

enum class RunMode { normal, raised, lowered };

void count_run(std::size_t& runs) {
    if (++runs > max_marker_runs) {
        throw jobfiles::RunTimeError(jobfiles::ErrorNumber::subscript_out_of_range,
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
        if (cp932_text[pos] == '$' && pos + 1 < cp932_text.size()) {
            const char code = cp932_text[pos + 1];
            if (code == 'U' || code == 'S' || code == 'Z') {
                const RunMode next = code == 'U'   ? RunMode::raised
                                     : code == 'S' ? RunMode::lowered
                                                   : RunMode::normal;
                if (next == RunMode::raised && mode != RunMode::raised) count_run(raised_runs);
                if (next == RunMode::lowered && mode != RunMode::lowered) count_run(lowered_runs);
                mode = next;
                pos += 2;
                continue;
            }
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

}  // namespace wordbuilder
