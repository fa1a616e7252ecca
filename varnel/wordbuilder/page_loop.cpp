// The page loop: reads PRN_CHAR record by record, hands texts and tables to their writers and
// at each block or page boundary lets the graphics reader catch up.
#include <algorithm>
#include <string>

#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

/* ---------------------------------------------------------------- WordRun::walk */
void WordRun::walk() {
    text_file_->skip_line();
    skip_to_start_page();
    read_first_block();
    page_.new_page(output_range_->Start());
    page_content_end_ = OutputDocument->Content().End();

    for (;;) {
        std::string keyword;
        if (!text_file_->at_end()) keyword = std::string(text_file_->read_keyword());
        if (progress_value_ == settings_.End_Page || (keyword.empty() && text_file_->at_end())) {
            // The last wanted page is done, or the text ends without a closing page line.
            text_ended_without_page_ = progress_value_ != settings_.End_Page;
            finish_at_end_page();
            return;
        }
        dispatch(keyword);
        if (loop_ended_) return;
        progress_.yield();
        if (progress_.cancel_requested()) return;
    }
}

/* ---------------------------------------------------------------- WordRun::skip_to_start_page */
void WordRun::skip_to_start_page() {
    if (settings_.Start_Page < 2) return;
    while (progress_value_ != settings_.Start_Page - 1) {
        text_file_->skip_page();
        if (graphics_file_->at_end()) {
            pict_disagrees();
        } else if (pict_agrees_) {
            graphics_file_->skip_page();
        }
        ++progress_value_;
        progress_.set_progress_value(progress_value_);
        show_page_label();
        progress_.yield();
    }
}

/* ---------------------------------------------------------------- WordRun::read_first_block */
void WordRun::read_first_block() {
    const jobfiles::BlockHeader first = text_file_->read_first_block_header();
    Block_No = first.Block_No;
    text_.first_block(first);
}

/* ---------------------------------------------------------------- WordRun::dispatch */
void WordRun::dispatch(std::string_view keyword) {
    if (const auto kind = jobfiles::text_kind(keyword)) {
        place_text(*kind);
    } else if (keyword == "BLOCK") {
        text_.flush_block(output());
        block_boundary(true);
    } else if (keyword == "PAGE") {
        text_.flush_block(output());
        block_boundary(false);
    } else if (keyword == "MATRIX") {
        write_table();
    }
}

/* ---------------------------------------------------------------- WordRun::place_text */
void WordRun::place_text(jobfiles::TextKind kind) {
    page_.text_written();
    const jobfiles::TextRecord record = text_file_->read_text_record(kind);
    text_.place(record, progress_value_ + 1, text_file_->offset());
}

/* ---------------------------------------------------------------- WordRun::write_table */
void WordRun::write_table() {
    tables_.write({*text_file_, text_, page_, *word_, *WorkDocument, *work_range_, output(),
                   progress_value_ + 1});
}

/* ---------------------------------------------------------------- WordRun::block_boundary */
void WordRun::block_boundary(bool new_block) {
    word::Range& out = *output_range_;
    if (new_block) {
        // Block_No moves on only when the graphics reader reaches the new block's figures:
        // until then it names the block whose figures are still to be placed.
        text_.next_block(text_file_->read_block_header(), output());
    }
    out.Collapse(word::wdCollapseEnd);
    out.SetRange(page_.page_start_position(), page_.page_start_position());
    text_.clear_grid();

    read_graphics(!new_block);

    const std::int32_t end = OutputDocument->Content().End();
    out.End(end);
    out.Collapse(word::wdCollapseEnd);
    if (!new_block) {
        if (text_file_->at_end()) {
            loop_ended_ = true;
            return;
        }
        page_.page_ended();
        text_file_->read_rest_of_line();
    }
}

/* ---------------------------------------------------------------- WordRun::finish_at_end_page */
void WordRun::finish_at_end_page() {
    while (progress_value_ < settings_.Page_Count) {
        ++progress_value_;
        progress_.set_progress_value(progress_value_);
        show_page_label();
        progress_.yield();
    }
    text_.flush_block(output());
}

/* ---------------------------------------------------------------- WordRun::page_end */
void WordRun::page_end() {
    page_.page_ended();
    word::Range& out = *output_range_;
    out.End(OutputDocument->Content().End());
    out.Collapse(word::wdCollapseEnd);
    out.Collapse(word::wdCollapseEnd);
    if (OutputDocument->Content().End() == page_content_end_) {
        // The page wrote no text: its figures hang on the paragraph its page break opened. That
        // paragraph ends here, so that the next break opens a paragraph of its own: one that
        // held two breaks would start one page only in LibreOffice, and lose the figures with
        // the last break in an otherwise empty document.
        out.InsertAfter("\r");
        out.Collapse(word::wdCollapseEnd);
    }
    out.InsertBreak(word::wdPageBreak);
    split_or_recycle();
    ++progress_value_;
    progress_.set_progress_value(progress_value_);
    show_page_label();
    progress_.yield();
    page_.new_page(OutputDocument->Range().End());
    page_content_end_ = OutputDocument->Content().End();
}

/* ---------------------------------------------------------------- WordRun::show_page_label */
void WordRun::show_page_label() {
    // After the last page the counter runs one past the page count; the label stays on it.
    const int page = std::min(progress_value_ + 1, static_cast<int>(settings_.Page_Count));
    progress_.set_page_label("Page " + std::to_string(page) + "/" +
                             std::to_string(settings_.Page_Count));
}

/* ---------------------------------------------------------------- WordRun::log_block_size_warning
 */
void WordRun::log_block_size_warning() {
    progress_.add_warning("ブロックサイズが制限を超えました：" + std::to_string(progress_value_) +
                          "ページ");
}

}  // namespace wordbuilder
