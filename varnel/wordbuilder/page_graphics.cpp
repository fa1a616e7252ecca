// The graphics reader: reads PRN_PICT in step with the text, one block ahead of the text
// writer, and hands each block's figures to the block figures. The pages of PRN_CHAR decide
// the page breaks: a PRN_PICT whose pages or blocks do not follow the text's is read only as
// far as it agrees, so that no figure lands on another page and no page runs into the next.
#include <string>
#include <variant>

#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

/* ---------------------------------------------------------------- WordRun::read_graphics */
void WordRun::read_graphics(bool at_page_end) {
    // The text goes on where PRN_PICT has already ended.
    if (pict_ended_) pict_disagrees();
    while (pict_agrees_) {
        // A page line met between two text blocks stays unread until the text's own page line:
        // a page whose figures name fewer blocks than its text must not end before its text.
        const jobfiles::VarnelPictReader before = *graphics_file_;
        auto record = graphics_file_->next();
        if (!record && at_page_end) {
            // Only the last page line is missing, unless more text follows.
            pict_ended_ = true;
            figures_.finish(output(), page_);
            page_end();
            return;
        }
        if (!record) break;
        if (std::holds_alternative<jobfiles::PictPage>(*record)) {
            if (!at_page_end) {
                *graphics_file_ = before;
                break;
            }
            figures_.finish(output(), page_);
            page_end();
            return;
        }
        if (const auto* block = std::get_if<jobfiles::PictBlock>(&*record)) {
            // The block whose figures are being read may be named again; any other block must
            // be the one the text has just begun.
            if (block->number != Block_No &&
                (at_page_end || block->number != text_.block().Block_No)) {
                break;
            }
            next_block_figures(*block);
            if (block->number == Block_No) continue;
            // Block_No moves on only here: the text writer writes the new block's text next,
            // and its figures follow when the reader comes back.
            Block_No = block->number;
            return;
        }
        figures_.draw(*record, progress_value_ + 1);
    }
    // PRN_PICT ended, or stopped following the text: the figures drawn so far keep their
    // place, and the text's page still ends here.
    pict_disagrees();
    if (at_page_end) page_end();
}

/* ----------------------------------------------------------------
 * WordRun::read_graphics_to_page_end */
void WordRun::read_graphics_to_page_end() {
    // The text ended without its page line: the page's remaining figures still belong to it.
    while (pict_agrees_) {
        auto record = graphics_file_->next();
        if (!record || std::holds_alternative<jobfiles::PictPage>(*record)) break;
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

/* ---------------------------------------------------------------- WordRun::pict_disagrees */
void WordRun::pict_disagrees() {
    if (!pict_agrees_) return;
    pict_agrees_ = false;
    figures_.finish(output(), page_);
    progress_.add_warning("PRN_PICT の図形が PRN_CHAR のページ・ブロックと一致しません：" +
                          std::to_string(progress_value_ + 1) + "ページ以降の図形は変換されません");
}

}  // namespace wordbuilder
