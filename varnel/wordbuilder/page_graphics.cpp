// The graphics reader: reads PRN_PICT in step with the text, one block ahead of the text
// writer, hands each block's figures to the block figures and page ends to the page loop.
#include <variant>

#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

/* ---------------------------------------------------------------- WordRun::read_graphics */
void WordRun::read_graphics(bool at_page_end) {
    for (;;) {
        // A page line met between two text blocks stays unread until the text's own page line:
        // a page whose figures name fewer blocks than its text must not end before its text.
        const jobfiles::VarnelPictReader before = *graphics_file_;
        auto record = graphics_file_->next();
        if (!record) return;
        if (!at_page_end && std::holds_alternative<jobfiles::PictPage>(*record)) {
            *graphics_file_ = before;
            return;
        }
        if (const auto* block = std::get_if<jobfiles::PictBlock>(&*record)) {
            next_block_figures(*block);
            if (block->number == Block_No) continue;
            // Block_No moves on only here: the text writer writes the new block's text next,
            // and its figures follow when the reader comes back.
            Block_No = block->number;
            return;
        }
        if (std::holds_alternative<jobfiles::PictPage>(*record)) {
            figures_.finish(output(), page_);
            page_end();
            return;
        }
        figures_.draw(*record, progress_value_ + 1);
    }
}

/* ----------------------------------------------------------------
 * WordRun::read_graphics_to_page_end */
void WordRun::read_graphics_to_page_end() {
    // The text ended without its page line: the page's remaining figures still belong to it.
    while (auto record = graphics_file_->next()) {
        if (std::holds_alternative<jobfiles::PictPage>(*record)) break;
        if (const auto* block = std::get_if<jobfiles::PictBlock>(&*record)) {
            next_block_figures(*block);
            continue;
        }
        figures_.draw(*record, progress_value_ + 1);
    }
}

/* ---------------------------------------------------------------- WordRun::next_block_figures */
void WordRun::next_block_figures(const jobfiles::PictBlock& block) {
    figures_.finish(output(), page_);
    figures_.open(block);
}

}  // namespace wordbuilder
