// The page loop: reads PRN_CHAR record by record, hands texts and tables to their writers and
// at each block or page boundary lets the graphics reader catch up.
#include <algorithm>
#include <string>
#include <utility>

#include "base/run_time_error.h"
#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

/* ---------------------------------------------------------------- WordRun::walk */
void WordRun::walk() {
    walking_ = true;
    text_file_->skip_line();
    skip_to_start_page();
    read_first_block();
    page_.new_page(output_range_->Start());
    page_content_end_ = OutputDocument->Content().End();
    text_output_.page = progress_value_ + 1;

    for (;;) {
        std::string keyword;
        if (!text_file_->at_end()) keyword = std::string(text_file_->read_keyword());
        if (progress_value_ == settings_.End_Page || (keyword.empty() && text_file_->at_end())) {
            // The last wanted page is done, or the text ends without a closing page line.
            text_ended_without_page_ = progress_value_ != settings_.End_Page;
            if (text_ended_without_page_) text_ended_early();
            if (!text_ended_without_page_ && settings_.End_Page >= settings_.Page_Count &&
                !text_file_->at_end()) {
                progress_.add_warning(
                    "PRN_MODE のページ数は " + std::to_string(settings_.Page_Count) +
                    " ですが、PRN_CHAR はその先にも続きます：" +
                    std::to_string(progress_value_ + 1) + "ページ以降は変換されません");
            }
            finish_at_end_page();
            return;
        }
        try {
            dispatch(keyword);
        } catch (const base::RunTimeError& error) {
            // A record cut off by the end of the file: what was read before it is written.
            if (error.number() != static_cast<int>(base::ErrorNumber::input_past_end) ||
                !text_file_->at_end() || !error.context().starts_with("PRN_CHAR")) {
                throw;
            }
            text_ended_without_page_ = true;
            text_ended_early();
            finish_at_end_page();
            return;
        }
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
        after_table_ = true;
        extra_cells_told_ = false;
        return;
    } else if (after_table_) {
        // A line where none is known after a table's cells: a cell line beyond the rows and
        // columns its MATRIX line announced. The whole line goes, so that nothing in it is
        // taken for a record.
        text_file_->read_rest_of_line();
        if (std::exchange(extra_cells_told_, true)) return;
        progress_.add_warning("MATRIX の行数・列数を超えるセル行があります：" +
                              std::to_string(progress_value_ + 1) + "ページ、PRN_CHAR の " +
                              std::to_string(text_file_->offset()) +
                              " バイト目まで（そのセルは変換されません）");
        return;
    }
    after_table_ = false;
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
                   progress_value_ + 1, text_output_});
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
    shapes_at_break_ = OutputDocument->Shapes().Count();
    split_or_recycle();
    ++progress_value_;
    progress_.set_progress_value(progress_value_);
    show_page_label();
    progress_.yield();
    text_output_.page = progress_value_ + 1;
    // Nothing reaches back before the page that has just ended, but for the paragraph that
    // holds the page break before it (saving looks at what stands before the last break, which
    // on a page without text is that one): the pages before it are written out and let go, so
    // that a long job needs the memory of two pages.
    OutputDocument->Settle(page_.page_start_position() - 1);
    release_read_pages();
    page_.new_page(OutputDocument->Range().End());
    page_content_end_ = OutputDocument->Content().End();
}

/* ---------------------------------------------------------------- WordRun::release_read_pages */
void WordRun::release_read_pages() {
    // The graphics reader may step back over the record it has just read: a margin stays.
    constexpr std::size_t margin = std::size_t{1} << 16;
    const auto release = [](base::MappedFile& file, std::size_t offset) {
        if (offset > margin) file.release_before(offset - margin);
    };
    release(*char_file_, text_file_->offset());
    release(*pict_file_, graphics_file_->offset());
}

/* ---------------------------------------------------------------- WordRun::show_page_label */
void WordRun::show_page_label() {
    // After the last page the counter runs one past the page count; the label stays on it.
    const int page = std::min(progress_value_ + 1, static_cast<int>(settings_.Page_Count));
    progress_.set_page_label("Page " + std::to_string(page) + "/" +
                             std::to_string(settings_.Page_Count));
}

/* ---------------------------------------------------------------- WordRun::report_grid_loss */
void WordRun::report_grid_loss(GridLoss loss, const jobfiles::BlockHeader& block) {
    switch (loss) {
        case GridLoss::block_size_exceeded:
            progress_.add_warning("ブロックサイズが制限を超えました：" +
                                  std::to_string(progress_value_ + 1) + "ページ、ブロック " +
                                  std::to_string(block.Block_No));
            break;
        case GridLoss::block_without_lines:
            progress_.add_warning("ブロックに高さがないため文字を出力できません：" +
                                  std::to_string(progress_value_ + 1) + "ページ、ブロック " +
                                  std::to_string(block.Block_No));
            break;
    }
}

/* ---------------------------------------------------------------- WordRun::text_ended_early */
void WordRun::text_ended_early() {
    progress_.add_warning("PRN_CHAR が途中で終わっています：" +
                          std::to_string(progress_value_ + 1) +
                          "ページまでの読めた分だけを変換しました");
}

}  // namespace wordbuilder
