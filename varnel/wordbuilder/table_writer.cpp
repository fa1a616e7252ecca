// Ruled tables: built as a Word table in the scratch document and moved into the output, or
// drawn into a metafile over the block.
#include <array>
#include <cmath>
#include <filesystem>

#include "graphics/primitives.h"
#include "jobfiles/cp932.h"
#include "jobfiles/numeric.h"
#include "jobfiles/run_time_error.h"
#include "varnel/wordbuilder/cell_text.h"
#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

namespace {

constexpr int max_cells_per_row = 50;
constexpr int border_width = word::wdLineWidth050pt;

// Character k (1-based) of a ruling code draws a line unless it is "0"; a code too short to
// have the character counts as drawing it, as a missing character is never "0".
bool rules(const std::string& code, std::size_t k) {
    return k > code.size() || code[k - 1] != '0';
}

void set_border(word::Cell& cell, int index, bool on) {
    word::Border border = cell.Borders().Item(index);
    border.LineStyle(on ? word::wdLineStyleSingle : word::wdLineStyleNone);
    if (on) border.LineWidth(border_width);
}

int paragraph_alignment(std::int16_t kind) {
    switch (kind) {
        case 1:
            return word::wdAlignParagraphLeft;
        case 4:
            return word::wdAlignParagraphCenter;
        case 7:
            return word::wdAlignParagraphRight;
        default:
            return -1;
    }
}

void check_row_width(std::int16_t m2) {
    if (m2 > max_cells_per_row) {
        throw jobfiles::RunTimeError(jobfiles::ErrorNumber::subscript_out_of_range,
                                     "a table row of more than 50 cells");
    }
}

}  // namespace

/* ---------------------------------------------------------------- WordRun::write_lines_above_table
 */
void WordRun::write_lines_above_table(std::int16_t m3) {
    if (m3 > grid_last_line) {
        throw jobfiles::RunTimeError(
            jobfiles::ErrorNumber::subscript_out_of_range,
            record_context() + ": a table starting below the block's last grid line");
    }
    // Without text the grid is blank, so its lines are the empty paragraphs wanted here.
    write_lines(grid_first_line, m3, false);
}

/* ---------------------------------------------------------------- WordRun::write_table */
void WordRun::write_table() {
    if (settings_.Matrix_SW) {
        write_word_table();
    } else {
        draw_table();
    }
    TextPresent = false;
    LinesPerBlock = 0;
}

/* ---------------------------------------------------------------- WordRun::write_word_table */
void WordRun::write_word_table() {
    jobfiles::MatrixHeader header = text_file_->read_matrix_header();
    text_file_->read_matrix_widths(header);
    check_row_width(header.m2);
    write_lines_above_table(header.m3);

    WorkDocument->Tables().Add(*work_range_, header.m1, header.m2);
    word::Table table = WorkDocument->Tables().Item(WorkDocument->Tables().Count());
    table.Borders().OutsideLineStyle(word::wdLineStyleNone);

    const float char_size = settings_.Char_Size;
    for (int c = 1; c <= header.m2; ++c) {
        const double width_mm = header.widths[static_cast<std::size_t>(c - 1)];
        // The width in tenths of a millimetre goes in as millimetres: ten times the points,
        // so the column is rounded to tenths of a character.
        const double tenths = jobfiles::Int(
            static_cast<double>(word::MillimetersToPoints(static_cast<float>(width_mm))) /
                static_cast<double>(char_size) +
            0.5);
        table.Columns().Item(c).Width(
            static_cast<float>(tenths * static_cast<double>(char_size) * 0.1));
    }

    std::array<int, max_cells_per_row + 1> above{};
    std::array<int, max_cells_per_row + 1> current{};
    std::string last_code;
    std::int16_t last_kind = 1;
    const float row_height = static_cast<float>(header.m5 * 0.1 * (72 / 25.4) * 0.969);
    for (int r = 1; r <= header.m1; ++r) {
        current.fill(0);
        int merged = 0;
        const int row_index = table.Rows().Count() - header.m1 + r;
        word::Row row = table.Rows().Item(row_index);
        row.HeightRule(word::wdRowHeightExactly);
        row.Height(row_height);
        Page_Drift += static_cast<double>(row.Height()) - static_cast<double>(char_size);

        for (int c = 1; c <= header.m2; ++c) {
            const jobfiles::CellLine cell_line = text_file_->read_cell_line();
            const int b = static_cast<int>(jobfiles::to_int16(cell_line.b));
            const auto pos = static_cast<std::size_t>(c);
            if (cell_line.text != "@") {
                const int column = b + 1 - merged;
                word::Cell cell = table.Cell(row_index, column);
                const std::string& s = cell_line.s;
                if (rules(s, 3) && column == 1) set_border(cell, word::wdBorderLeft, true);
                if (rules(s, 4)) {
                    set_border(cell, word::wdBorderBottom, true);
                    current[pos] = 1;
                } else {
                    current[pos] = 0;
                }
                set_border(cell, word::wdBorderRight, rules(s, 5));
                set_border(cell, word::wdBorderTop, rules(s, 6) || above[pos] == 1);
                if (rules(s, 1)) set_border(cell, word::wdBorderDiagonalDown, true);
                if (rules(s, 2)) set_border(cell, word::wdBorderDiagonalUp, true);
                cell.TopPadding(word::MillimetersToPoints(0));
                cell.BottomPadding(word::MillimetersToPoints(0));
                cell.LeftPadding(word::MillimetersToPoints(0));
                cell.RightPadding(word::MillimetersToPoints(0));
                cell.Range().ParagraphFormat().WordWrap(false);
                last_code = s;

                std::string text = cell_line.text;
                if (cell_line.n == 1) text = std::string(cp932::right_trim(text));
                const int alignment = paragraph_alignment(cell_line.n);
                if (alignment >= 0) cell.Range().ParagraphFormat().Alignment(alignment);
                cell.VerticalAlignment(word::wdCellAlignVerticalCenter);
                const CellText parsed = parse_cell_text(text);
                word::Range cell_range = cell.Range();
                cell_range.InsertAfter(utf8(parsed.text));
                for (const std::int32_t at : parsed.raised) {
                    word::Font font = cell.Range().Characters().Item(at).Font();
                    font.Superscript(true);
                    font.Position(-2);
                }
                for (const std::int32_t at : parsed.lowered) {
                    word::Font font = cell.Range().Characters().Item(at).Font();
                    font.Subscript(true);
                    font.Position(2);
                }
                last_kind = cell_line.n;
            } else {
                // "@" joins the cell to its left neighbour and repeats that cell's ruling.
                word::Range span = table.Cell(row_index, b - merged).Range();
                span.End(table.Cell(row_index, b + 1 - merged).Range().End());
                span.Cells().Merge();
                ++merged;
                current[pos] = current[pos - 1];
                word::Cell cell = table.Cell(row_index, b + 1 - merged);
                if (rules(last_code, 3)) set_border(cell, word::wdBorderLeft, true);
                if (rules(last_code, 4)) set_border(cell, word::wdBorderBottom, true);
                set_border(cell, word::wdBorderRight, rules(last_code, 5));
                set_border(cell, word::wdBorderTop, rules(last_code, 6) || above[pos] == 1);
                const int alignment = paragraph_alignment(last_kind);
                if (alignment >= 0) cell.Range().ParagraphFormat().Alignment(alignment);
            }
        }
        for (int c = 1; c <= header.m2; ++c) {
            above[static_cast<std::size_t>(c)] = current[static_cast<std::size_t>(c)];
        }
    }

    const double indent = jobfiles::to_int32(header.m4 + block_.x1 - settings_.Margin_Left);
    table.Rows().LeftIndent(0);
    table.Rows().LeftIndent(word::MillimetersToPoints(static_cast<float>(indent * 0.1)));
    table.Range().Cut();
    word::Range& out = *output_range_;
    if (PageStart) {
        out.InsertAfter(" ");
        out.Collapse(word::wdCollapseEnd);
        Graphics_Offset = settings_.Char_Size;
    }
    out.Paste();
    out.Collapse(word::wdCollapseEnd);
    word_->Clipboard().Clear();
    PageStart = false;
}

}  // namespace wordbuilder

namespace wordbuilder {

/* ---------------------------------------------------------------- WordRun::draw_table */
void WordRun::draw_table() {
    const jobfiles::MatrixHeader header = text_file_->read_matrix_header();
    // The header's column widths are not needed: every cell line carries its own width.
    text_file_->read_rest_of_line();
    write_lines_above_table(header.m3);

    const double F = static_cast<double>(FontSizeRatio);
    const auto x1 = static_cast<double>(block_.x1);
    const auto y1 = static_cast<double>(block_.y1);
    const auto x2 = static_cast<double>(block_.x2);
    const auto y2 = static_cast<double>(block_.y2);
    const std::filesystem::path file = meta_file("MT" + std::to_string(Block_No) + ".emf");
    const emf::RECTL frame = block_frame(x1, y1, x2, y2);
    table_drawing_.Font_Name = settings_.Font_Name;
    graphics::BeginBlockDrawing(table_drawing_, file, frame.right, frame.bottom);

    try {
        // The character height in tenths of a millimetre, as Word converts it.
        const double cs = static_cast<double>(word::PointsToMillimeters(settings_.Char_Size * 10));
        const std::int16_t text_height = jobfiles::to_int16(cs * 10 * F);
        for (int r = 1; r <= header.m1; ++r) {
            const double bottom = r == header.m1 ? y2 - y1 : header.m3 * cs + r * header.m5;
            const double top = bottom - header.m5;
            double x = header.m4;
            for (int c = 1; c <= header.m2; ++c) {
                const jobfiles::CellLine cell = text_file_->read_cell_line();
                if (cell.text == "@") continue;
                const double h = cell.h;
                const auto length =
                    static_cast<double>(cp932::AnsiByteLength(parse_cell_text(cell.text).text));
                switch (cell.n) {
                    case 1:
                        table_text_x_ = x;
                        break;
                    case 4:
                        table_text_x_ = x + h / 2 - length * cs / 4;
                        break;
                    case 7:
                        table_text_x_ = x + h - length * cs / 2;
                        break;
                    default:
                        break;
                }
                graphics::varnel::DrawLabelText(table_drawing_, cell.text, table_text_x_ * 10 * F,
                                                -(bottom + (cs - header.m5) / 2) * 10 * F,
                                                text_height, 0);
                struct Ruling {
                    double from_x, from_y, to_x, to_y;
                };
                const Ruling lines[6] = {{x + h, bottom, x, top},     {x, bottom, x + h, top},
                                         {x, bottom, x, top},         {x, bottom, x + h, bottom},
                                         {x + h, bottom, x + h, top}, {x, top, x + h, top}};
                for (std::size_t k = 1; k <= 6; ++k) {
                    if (!rules(cell.s, k)) continue;
                    const std::string digit = k <= cell.s.size() ? cell.s.substr(k - 1, 1) : "";
                    const auto kind = static_cast<std::int16_t>(jobfiles::Val(digit) + 1);
                    const Ruling& line = lines[k - 1];
                    graphics::DrawLine(table_drawing_, line.from_x * 10 * F, -line.from_y * 10 * F,
                                       line.to_x * 10 * F, -line.to_y * 10 * F, kind, 0);
                }
                x += h;
            }
        }
    } catch (...) {
        graphics::EndBlockDrawing(table_drawing_);
        std::filesystem::remove(file);
        throw;
    }

    // The table's height stays reserved in the text: one paragraph per row at the row pitch.
    word::Range& out = *output_range_;
    for (int r = 1; r <= header.m1; ++r) {
        out.Collapse(word::wdCollapseEnd);
        out.ParagraphFormat().LineSpacing(
            word::MillimetersToPoints(static_cast<float>(header.m5 * 0.1)));
        out.InsertAfter("\r");
    }
    out.Collapse(word::wdCollapseEnd);
    out.ParagraphFormat().LineSpacing(settings_.Char_Size);

    out.Collapse(word::wdCollapseEnd);
    out.SetRange(page_start_position_, page_start_position_);
    graphics::EndBlockDrawing(table_drawing_);
    const PicturePlace place = place_of_block(x1, y1, x2, y2);
    add_picture(file, place, place.top + static_cast<float>(Page_Drift));
    // Anything written after the table in this block goes below it, not at the page's top.
    out.End(OutputDocument->Content().End());
    out.Collapse(word::wdCollapseEnd);
}

}  // namespace wordbuilder
