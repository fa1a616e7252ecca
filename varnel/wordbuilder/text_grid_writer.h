// The text grid writer: a block's text records are laid onto its character grid, and at the
// next block or page the grid is written as one paragraph per line with exact line spacing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "jobfiles/prn_char.h"
#include "varnel/wordbuilder/block_pictures.h"
#include "varnel/wordbuilder/line_grid.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder {

class TextGridWriter {
  public:
    // `block_size_exceeded` is told each time a block's lines are cut to the 64-line limit.
    TextGridWriter(const WordRunSettings& settings, std::function<void()> block_size_exceeded);

    // The block the text records now being read belong to.
    const jobfiles::BlockHeader& block() const { return block_; }
    bool text_present() const { return TextPresent; }

    void first_block(const jobfiles::BlockHeader& block);
    // Lays a text record onto the grid. A text outside the page's grid is an error naming
    // `page` and the record's byte `offset` in PRN_CHAR.
    void place(const jobfiles::TextRecord& record, int page, std::size_t offset);
    // Writes the block's lines, when it has text.
    void flush_block(const OutputPlace& output);
    // The next block begins: a gap above it after a text-less block of kind 1 is kept as
    // empty lines.
    void next_block(const jobfiles::BlockHeader& block, const OutputPlace& output);
    void clear_grid() { grid_.clear(); }

    // The lines of the block above a table that starts on grid line m3. A table starting
    // outside the block or the page's grid is an error naming `page` and the MATRIX line's
    // byte `offset` in PRN_CHAR.
    void write_lines_above_table(const OutputPlace& output, std::int16_t m3, int page,
                                 std::size_t offset);
    // A table ends the block's text: its lines are written and the text below it is not, so
    // lines written later in the block (before a second table, or as a gap) are empty of both.
    void table_written() {
        TextPresent = false;
        LinesPerBlock = 0;
        grid_.clear();
    }

  private:
    void compute_lines_per_block();
    void write_lines(const OutputPlace& output, int first, int last, bool with_runs);

    const WordRunSettings& settings_;
    GridMetrics metrics_;
    std::function<void()> block_size_exceeded_;

    LineGrid grid_;
    jobfiles::BlockHeader block_;
    std::int16_t LinesPerBlock = 0;
    bool previous_block_kind_is_1_ = false;
    double gap_top_ = 0;
    std::int16_t heading_level_ = 0;
    bool TextPresent = false;
};

}  // namespace wordbuilder
