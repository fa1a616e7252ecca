#include "varnel/wordbuilder/text_grid_writer.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "base/cp932.h"
#include "base/run_time_error.h"

namespace wordbuilder {

namespace {

std::string trimmed(const std::string& line) {
    return std::string(cp932::right_trim(line));
}

std::string utf8(std::string_view cp932_text) {
    return cp932::to_utf8(cp932_text);
}

std::string record_context(std::size_t offset) {
    return "PRN_CHAR: byte " + std::to_string(offset);
}

}  // namespace

/* ---------------------------------------------------------------- TextGridWriter::TextGridWriter
 */
TextGridWriter::TextGridWriter(const WordRunSettings& settings,
                               std::function<void()> block_size_exceeded)
    : settings_(settings),
      metrics_(GridMetrics::from(settings.Char_Size, settings.Line_Pitch, settings.Margin_Left)),
      block_size_exceeded_(std::move(block_size_exceeded)) {}

/* ---------------------------------------------------------------- TextGridWriter::first_block */
void TextGridWriter::first_block(const jobfiles::BlockHeader& block) {
    block_ = block;
    previous_block_kind_is_1_ = block_.block_kind.is(1);
    compute_lines_per_block();
}

/* ---------------------------------------------------------------- TextGridWriter::place */
void TextGridWriter::place(const jobfiles::TextRecord& record, int page, std::size_t offset) {
    const bool title_block = block_.title_flag == 1;
    const double row_value = grid_row(metrics_, record.y, title_block);
    const std::int16_t column = grid_column(metrics_, record.x);
    if (row_value < 0 || row_value > grid_last_line || column < 1) {
        throw base::RunTimeError(static_cast<int>(base::ErrorNumber::subscript_out_of_range),
                                 "文字の位置がページの範囲外です。（" + std::to_string(page) +
                                     "ページ、PRN_CHAR の " + std::to_string(offset) +
                                     " バイト目の行）",
                                 record_context(offset));
    }
    const int row = static_cast<int>(row_value);
    if (cp932::AnsiByteLength(record.text) >= 1) grid_.place(row, column, record.text);
    const auto characters = static_cast<std::int16_t>(cp932::char_count(record.text));
    if (record.kind == jobfiles::TextKind::SMOJI) grid_.add_run(row, {column, characters});
    if (record.kind == jobfiles::TextKind::UMOJI) {
        grid_.add_run(row, {column, static_cast<std::int16_t>(-characters)});
    }
    if (record.kind == jobfiles::TextKind::TITLE) heading_level_ = record.heading_level;
    TextPresent = true;
}

/* ---------------------------------------------------------------- TextGridWriter::flush_block */
void TextGridWriter::flush_block(const OutputPlace& output) {
    if (!TextPresent || LinesPerBlock < 1) return;
    word::Range& out = output.range;
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
    write_lines(output, first, LinesPerBlock, true);
    LinesPerBlock = 0;
}

/* ---------------------------------------------------------------- TextGridWriter::next_block */
void TextGridWriter::next_block(const jobfiles::BlockHeader& block, const OutputPlace& output) {
    if (!TextPresent) gap_top_ = block_.y1;
    block_ = block;
    if (!TextPresent && block_.y1 > gap_top_ && previous_block_kind_is_1_) {
        std::int16_t lines = gap_lines(metrics_, gap_top_, block_.y1, block_.title_flag == 1);
        if (lines > max_lines_per_block) {
            lines = max_lines_per_block;
            block_size_exceeded_();
        }
        write_lines(output, grid_first_line, lines, false);
    }
    previous_block_kind_is_1_ = block_.block_kind.is(1);
    compute_lines_per_block();
    TextPresent = false;
}

/* ----------------------------------------------------------------
 * TextGridWriter::compute_lines_per_block */
void TextGridWriter::compute_lines_per_block() {
    LinesPerBlock = lines_for_height(metrics_, block_.y1, block_.y2, block_.title_flag == 1);
    if (LinesPerBlock > max_lines_per_block) {
        LinesPerBlock = max_lines_per_block;
        block_size_exceeded_();
    }
}

/* ---------------------------------------------------------------- TextGridWriter::write_lines */
void TextGridWriter::write_lines(const OutputPlace& output, int first, int last, bool with_runs) {
    word::Range& out = output.range;
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
                const std::int32_t e = output.document.Content().End();
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
                const std::int32_t end = output.document.Content().End();
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

/* ----------------------------------------------------------------
 * TextGridWriter::write_lines_above_table */
void TextGridWriter::write_lines_above_table(const OutputPlace& output, std::int16_t m3, int page,
                                             std::size_t offset) {
    const int block_lines =
        lines_for_height(metrics_, block_.y1, block_.y2, block_.title_flag == 1);
    if (m3 < 0 || m3 > grid_last_line || m3 > block_lines) {
        // Lines above it would run past the block into the ones below, or past the page.
        throw base::RunTimeError(static_cast<int>(base::ErrorNumber::subscript_out_of_range),
                                 "表の開始行がブロックの範囲外です。（" + std::to_string(page) +
                                     "ページ、PRN_CHAR の " + std::to_string(offset) +
                                     " バイト目の行、開始行 " + std::to_string(m3) + "）",
                                 record_context(offset));
    }
    if (TextPresent) {
        write_lines(output, grid_first_line, m3, false);
        // The table goes in after the last line's paragraph mark, not in its place.
        output.range.Collapse(word::wdCollapseEnd);
        return;
    }
    // No text since the block began or since an earlier table: only empty paragraphs.
    word::Range& out = output.range;
    for (int i = 1; i <= m3; ++i) {
        out.Collapse(word::wdCollapseEnd);
        out.InsertAfter("\r");
        out.Collapse(word::wdCollapseEnd);
    }
}

}  // namespace wordbuilder
