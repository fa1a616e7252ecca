// The page loop: text records are laid onto the block's character grid; at the next block or
// page the grid is written as one paragraph per line with exact line spacing.
#include <algorithm>
#include <string>

#include "base/cp932.h"
#include "jobfiles/numeric.h"
#include "base/run_time_error.h"
#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

namespace {

std::string trimmed(const std::string& line) {
    return std::string(cp932::right_trim(line));
}

}  // namespace

/* ---------------------------------------------------------------- WordRun::walk */
void WordRun::walk() {
    text_file_->skip_line();
    skip_to_start_page();
    read_first_block();
    page_start_position_ = output_range_->Start();

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
        graphics_file_->skip_page();
        ++progress_value_;
        progress_.set_progress_value(progress_value_);
        show_page_label();
        progress_.yield();
    }
}

/* ---------------------------------------------------------------- WordRun::read_first_block */
void WordRun::read_first_block() {
    block_ = text_file_->read_first_block_header();
    Block_No = block_.Block_No;
    previous_block_kind_is_1_ = block_.block_kind.is(1);
    compute_lines_per_block();
}

/* ---------------------------------------------------------------- WordRun::dispatch */
void WordRun::dispatch(std::string_view keyword) {
    if (const auto kind = jobfiles::text_kind(keyword)) {
        place_text(*kind);
    } else if (keyword == "BLOCK") {
        flush_block();
        block_boundary(true);
    } else if (keyword == "PAGE") {
        flush_block();
        block_boundary(false);
    } else if (keyword == "MATRIX") {
        write_table();
    }
}

/* ---------------------------------------------------------------- WordRun::place_text */
void WordRun::place_text(jobfiles::TextKind kind) {
    PageStart = false;
    const jobfiles::TextRecord record = text_file_->read_text_record(kind);
    const bool title_block = block_.title_flag == 1;
    const double row_value = grid_row(metrics_, record.y, title_block);
    const std::int16_t column = grid_column(metrics_, record.x);
    if (row_value < 0 || row_value > grid_last_line || column < 1) {
        throw base::RunTimeError(
            static_cast<int>(base::ErrorNumber::subscript_out_of_range),
            "文字の位置がページの範囲外です。（" + std::to_string(progress_value_ + 1) +
                "ページ、PRN_CHAR の " + std::to_string(text_file_->offset()) + " バイト目の行）",
            record_context());
    }
    const int row = static_cast<int>(row_value);
    if (cp932::AnsiByteLength(record.text) >= 1) grid_.place(row, column, record.text);
    const auto characters = static_cast<std::int16_t>(cp932::char_count(record.text));
    if (kind == jobfiles::TextKind::SMOJI) grid_.add_run(row, {column, characters});
    if (kind == jobfiles::TextKind::UMOJI) {
        grid_.add_run(row, {column, static_cast<std::int16_t>(-characters)});
    }
    if (kind == jobfiles::TextKind::TITLE) heading_level_ = record.heading_level;
    TextPresent = true;
}

/* ---------------------------------------------------------------- WordRun::flush_block */
void WordRun::flush_block() {
    if (!TextPresent || LinesPerBlock < 1) return;
    word::Range& out = *output_range_;
    int first = grid_first_line;
    out.Collapse(word::wdCollapseEnd);
    if (block_.title_flag == 1) {
        out.ParagraphFormat().LineSpacing(static_cast<float>(settings_.Line_Pitch));
        out.InsertAfter(utf8(trimmed(grid_.line(1))) + "\r");
        switch (heading_level_) {
            case 0:
                out.Style(word::wdStyleHeading1);
                break;
            case 1:
                out.Style(word::wdStyleHeading2);
                break;
            case 2:
                out.Style(word::wdStyleHeading3);
                break;
            default:
                break;
        }
        first = 2;
    }
    out.Collapse(word::wdCollapseEnd);
    out.ParagraphFormat().LineSpacing(settings_.Char_Size);
    write_lines(first, LinesPerBlock, true);
    LinesPerBlock = 0;
}

/* ---------------------------------------------------------------- WordRun::write_lines */
void WordRun::write_lines(int first, int last, bool with_runs) {
    word::Range& out = *output_range_;
    for (int i = first; i <= last; ++i) {
        const std::string line = trimmed(grid_.line(i));
        out.Collapse(word::wdCollapseEnd);
        out.InsertAfter(utf8(line));
        out.Collapse(word::wdCollapseEnd);
        if (with_runs) {
            const ScriptRuns& runs = grid_.runs(i);
            const auto line_length = static_cast<std::int32_t>(cp932::char_count(line));
            for (int j = 0; j < runs.count; ++j) {
                const ScriptRun run = runs.runs[static_cast<std::size_t>(j)];
                const auto k = static_cast<std::int32_t>(cp932::char_count_of_prefix(
                    grid_.line(i), static_cast<std::size_t>(run.start_column - 1)));
                const std::int32_t e = OutputDocument->Content().End();
                const std::int32_t start = e - line_length + k - 1;
                out.SetRange(start, start + std::abs(run.length));
                word::Font font = out.Font();
                if (run.length > 0) {
                    font.Subscript(true);
                    font.Position(1);
                } else {
                    font.Superscript(true);
                    font.Position(-1);
                }
                font.Spacing(settings_.Char_Size * 0.2f);
                const std::int32_t end = OutputDocument->Content().End();
                out.SetRange(end, end);
                out.Collapse(word::wdCollapseEnd);
                word::Font reset = out.Font();
                reset.Subscript(false);
                reset.Superscript(false);
                reset.Position(0);
                reset.Spacing(0);
            }
        }
        out.InsertAfter("\r");
    }
}

/* ---------------------------------------------------------------- WordRun::block_boundary */
void WordRun::block_boundary(bool new_block) {
    word::Range& out = *output_range_;
    if (new_block) {
        if (!TextPresent) gap_top_ = block_.y1;
        // Block_No moves on only when the graphics reader reaches the new block's figures:
        // until then it names the block whose figures are still to be placed.
        block_ = text_file_->read_block_header();
        if (!TextPresent && block_.y1 > gap_top_ && previous_block_kind_is_1_) {
            std::int16_t lines = gap_lines(metrics_, gap_top_, block_.y1, block_.title_flag == 1);
            if (lines > max_lines_per_block) {
                lines = max_lines_per_block;
                log_block_size_warning();
            }
            write_lines(grid_first_line, lines, false);
        }
        previous_block_kind_is_1_ = block_.block_kind.is(1);
        compute_lines_per_block();
        TextPresent = false;
    }
    out.Collapse(word::wdCollapseEnd);
    out.SetRange(page_start_position_, page_start_position_);
    grid_.clear();

    read_graphics(!new_block);

    const std::int32_t end = OutputDocument->Content().End();
    out.End(end);
    out.Collapse(word::wdCollapseEnd);
    if (!new_block) {
        if (text_file_->at_end()) {
            loop_ended_ = true;
            return;
        }
        PageStart = true;
        Graphics_Offset = 0;
        text_file_->read_rest_of_line();
    }
}

/* ---------------------------------------------------------------- WordRun::compute_lines_per_block
 */
void WordRun::compute_lines_per_block() {
    LinesPerBlock = lines_for_height(metrics_, block_.y1, block_.y2, block_.title_flag == 1);
    if (LinesPerBlock > max_lines_per_block) {
        LinesPerBlock = max_lines_per_block;
        log_block_size_warning();
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
    if (TextPresent) flush_block();
}

/* ---------------------------------------------------------------- WordRun::page_end */
void WordRun::page_end() {
    PageStart = true;
    Graphics_Offset = 0;
    word::Range& out = *output_range_;
    out.End(OutputDocument->Content().End());
    out.Collapse(word::wdCollapseEnd);
    out.Collapse(word::wdCollapseEnd);
    out.InsertBreak(word::wdPageBreak);
    split_or_recycle();
    ++progress_value_;
    progress_.set_progress_value(progress_value_);
    show_page_label();
    progress_.yield();
    Page_Drift = 0;
    page_start_position_ = OutputDocument->Range().End();
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
