// Ruled tables: built as a Word table in the scratch document and moved into the output, or
// drawn into a metafile over the block.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "graphics/primitives.h"
#include "jobfiles/numeric.h"
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

void align_paragraph(word::Cell& cell, std::int16_t kind) {
    const int alignment = paragraph_alignment(kind);
    if (alignment >= 0) cell.Range().ParagraphFormat().Alignment(alignment);
}

// The bottom lines each cell position of a row has drawn: a cell below one of them keeps its
// top line, which would otherwise be cleared together with the line it shares.
using BottomFlags = std::array<bool, max_cells_per_row + 1>;

// The lines of a cell's ruling code. A left line is drawn only by the row's first cell; the
// others' left lines are their neighbours' right lines.
void rule_cell(word::Cell& cell, const std::string& s, int column, bool line_above,
               bool& bottom_drawn) {
    if (rules(s, 3) && column == 1) set_border(cell, word::wdBorderLeft, true);
    bottom_drawn = rules(s, 4);
    if (bottom_drawn) set_border(cell, word::wdBorderBottom, true);
    set_border(cell, word::wdBorderRight, rules(s, 5));
    set_border(cell, word::wdBorderTop, rules(s, 6) || line_above);
    if (rules(s, 1)) set_border(cell, word::wdBorderDiagonalDown, true);
    if (rules(s, 2)) set_border(cell, word::wdBorderDiagonalUp, true);
}

// A merged cell takes the ruling code of the cell it continues again, without diagonals.
void rule_merged_cell(word::Cell& cell, const std::string& s, bool line_above) {
    if (rules(s, 3)) set_border(cell, word::wdBorderLeft, true);
    if (rules(s, 4)) set_border(cell, word::wdBorderBottom, true);
    set_border(cell, word::wdBorderRight, rules(s, 5));
    set_border(cell, word::wdBorderTop, rules(s, 6) || line_above);
}

// The text goes in without its markers; the characters of raised and lowered runs are then
// formatted one by one.
void write_cell_text(word::Cell& cell, const std::string& utf8_text, const CellText& parsed) {
    word::Range range = cell.Range();
    range.InsertAfter(utf8_text);
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
}

}  // namespace

/* ---------------------------------------------------------------- WordRun::write_lines_above_table
 */
void WordRun::write_lines_above_table(std::int16_t m3) {
    if (TextPresent) {
        if (m3 > grid_last_line) {
            throw base::RunTimeError(
                base::ErrorNumber::subscript_out_of_range,
                record_context() + ": a table starting below the block's last grid line");
        }
        write_lines(grid_first_line, m3, false);
        return;
    }
    // No text since the block began or since an earlier table: the grid may still hold the
    // lines that table has already written, so only empty paragraphs go in.
    word::Range& out = *output_range_;
    for (int i = 1; i <= m3; ++i) {
        out.Collapse(word::wdCollapseEnd);
        out.InsertAfter("\r");
        out.Collapse(word::wdCollapseEnd);
    }
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
    if (header.m2 > max_cells_per_row) {
        // A row's bottom lines are remembered for at most 50 cells.
        throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                                 record_context() + ": a table row of more than 50 cells");
    }
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

    BottomFlags above{};
    BottomFlags current{};
    std::string last_code;
    std::int16_t last_kind = 1;
    // The row pitch in points, a little reduced.
    const double row_height = header.m5 * 0.1 * (72 / 25.4) * 0.969;
    for (int r = 1; r <= header.m1; ++r) {
        current.fill(false);
        int merged = 0;
        // A table Word has joined to an earlier one of the scratch document ends in its rows.
        const int row_index = table.Rows().Count() - header.m1 + r;
        word::Row row = table.Rows().Item(row_index);
        row.HeightRule(word::wdRowHeightExactly);
        row.Height(static_cast<float>(row_height));
        // Pictures placed later on the page follow the rows' difference from grid lines.
        Page_Drift += row_height - static_cast<double>(char_size);

        for (std::size_t c = 1; c <= static_cast<std::size_t>(header.m2); ++c) {
            const jobfiles::CellLine cell_line = text_file_->read_cell_line();
            const int b = jobfiles::to_int16(cell_line.b);
            if (cell_line.text != "@") {
                const int column = b + 1 - merged;
                word::Cell cell = table.Cell(row_index, column);
                rule_cell(cell, cell_line.s, column, above[c], current[c]);
                cell.TopPadding(word::MillimetersToPoints(0));
                cell.BottomPadding(word::MillimetersToPoints(0));
                cell.LeftPadding(word::MillimetersToPoints(0));
                cell.RightPadding(word::MillimetersToPoints(0));
                cell.Range().ParagraphFormat().WordWrap(false);
                last_code = cell_line.s;

                std::string text = cell_line.text;
                if (cell_line.n == 1) text = std::string(cp932::right_trim(text));
                align_paragraph(cell, cell_line.n);
                cell.VerticalAlignment(word::wdCellAlignVerticalCenter);
                const CellText parsed = parse_cell_text(text);
                write_cell_text(cell, utf8(parsed.text), parsed);
                last_kind = cell_line.n;
            } else {
                // "@" joins the cell to its left neighbour.
                word::Range span = table.Cell(row_index, b - merged).Range();
                span.End(table.Cell(row_index, b + 1 - merged).Range().End());
                span.Cells().Merge();
                ++merged;
                current[c] = current[c - 1];
                word::Cell cell = table.Cell(row_index, b + 1 - merged);
                rule_merged_cell(cell, last_code, above[c]);
                align_paragraph(cell, last_kind);
            }
        }
        std::copy_n(current.begin(), header.m2 + 1, above.begin());
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

namespace {

// Where a drawn table's cells go: tenths of a millimetre from the block's top-left corner,
// reaching the primitives as value x 10 x F with y negated.
struct TableDrawing {
    graphics::DrawingContext& context;
    double F = 1;
    double cs = 0;  // the character height in tenths of a millimetre, as Word converts it
    std::int16_t text_height = 0;

    double x(double tenths) const { return tenths * 10 * F; }
    double y(double tenths) const { return -tenths * 10 * F; }
};

// One cell of a row `pitch` high ending at `bottom`, from `left` and as wide as its own width
// field. `text_x` is where the last drawn text began: an alignment kind the table does not
// know leaves the text there.
void draw_cell(const TableDrawing& d, const jobfiles::CellLine& cell, double left, double bottom,
               double pitch, double& text_x) {
    const double h = cell.h;
    const auto length = static_cast<double>(cp932::AnsiByteLength(remove_cell_markers(cell.text)));
    switch (cell.n) {
        case 1:
            text_x = left;
            break;
        case 4:
            text_x = left + h / 2 - length * d.cs / 4;
            break;
        case 7:
            text_x = left + h - length * d.cs / 2;
            break;
        default:
            break;
    }
    // The character cell stands centred in the row.
    graphics::varnel::DrawLabelText(d.context, cell.text, d.x(text_x),
                                    d.y(bottom + (d.cs - pitch) / 2), d.text_height, 0);

    struct Ruling {
        double from_x, from_y, to_x, to_y;
    };
    const double right = left + h;
    const double top = bottom - pitch;
    const Ruling lines[6] = {{right, bottom, left, top},  {left, bottom, right, top},
                             {left, bottom, left, top},   {left, bottom, right, bottom},
                             {right, bottom, right, top}, {left, top, right, top}};
    for (std::size_t k = 1; k <= 6; ++k) {
        if (!rules(cell.s, k)) continue;
        // "1" draws line kind 2: a dashed line one pixel wide.
        const std::string digit = k <= cell.s.size() ? cell.s.substr(k - 1, 1) : "";
        const auto kind = static_cast<std::int16_t>(jobfiles::Val(digit) + 1);
        const Ruling& line = lines[k - 1];
        graphics::DrawLine(d.context, d.x(line.from_x), d.y(line.from_y), d.x(line.to_x),
                           d.y(line.to_y), kind, 0);
    }
}

}  // namespace

/* ---------------------------------------------------------------- WordRun::draw_table */
void WordRun::draw_table() {
    const jobfiles::MatrixHeader header = text_file_->read_matrix_header();
    // The header's column widths are not needed: every cell line carries its own width.
    text_file_->read_rest_of_line();
    write_lines_above_table(header.m3);

    const auto x1 = static_cast<double>(block_.x1);
    const auto y1 = static_cast<double>(block_.y1);
    const auto x2 = static_cast<double>(block_.x2);
    const auto y2 = static_cast<double>(block_.y2);
    const emf::RECTL frame = block_frame(x1, y1, x2, y2);
    table_drawing_.Font_Name = settings_.Font_Name;
    graphics::BlockMetafile drawing(table_drawing_,
                                    meta_file("MT" + std::to_string(Block_No) + ".emf"),
                                    frame.right, frame.bottom);

    TableDrawing d{table_drawing_, static_cast<double>(FontSizeRatio)};
    d.cs = static_cast<double>(word::PointsToMillimeters(settings_.Char_Size * 10));
    d.text_height = jobfiles::to_int16(d.cs * 10 * d.F);
    for (int r = 1; r <= header.m1; ++r) {
        // The last row ends on the block's bottom edge, wherever the rows above put its top.
        const double bottom = r == header.m1 ? y2 - y1 : header.m3 * d.cs + r * header.m5;
        double left = header.m4;
        for (int c = 1; c <= header.m2; ++c) {
            const jobfiles::CellLine cell = text_file_->read_cell_line();
            // "@" continues its left neighbour, which has drawn the whole width already.
            if (cell.text == "@") continue;
            draw_cell(d, cell, left, bottom, header.m5, table_text_x_);
            drawing.mark_drawn();
            left += cell.h;
        }
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
    if (const std::optional<std::filesystem::path> file = drawing.finish()) {
        const PicturePlace place = place_of_block(x1, y1, x2, y2);
        add_picture(*file, place, place.top + static_cast<float>(Page_Drift));
    }
    // Anything written after the table in this block goes below it, not at the page's top.
    out.End(OutputDocument->Content().End());
    out.Collapse(word::wdCollapseEnd);
}

}  // namespace wordbuilder
