#include "varnel/wordbuilder/table_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <utility>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "graphics/block_metafile.h"
#include "graphics/primitives.h"
#include "jobfiles/numeric.h"
#include "varnel/wordbuilder/cell_text.h"

namespace wordbuilder {

namespace {

constexpr int max_cells_per_row = 50;
constexpr int border_width = word::wdLineWidth050pt;

void set_border(word::Cell& cell, int index, bool on) {
    word::Border border = cell.Borders().Item(index);
    border.LineStyle(on ? word::wdLineStyleSingle : word::wdLineStyleNone);
    if (on) border.LineWidth(border_width);
}

void align_paragraph(word::Cell& cell, jobfiles::CellAlignment alignment) {
    int paragraph = 0;
    switch (alignment) {
        case jobfiles::CellAlignment::left:
            paragraph = word::wdAlignParagraphLeft;
            break;
        case jobfiles::CellAlignment::centred:
            paragraph = word::wdAlignParagraphCenter;
            break;
        case jobfiles::CellAlignment::right:
            paragraph = word::wdAlignParagraphRight;
            break;
        case jobfiles::CellAlignment::other:
            return;
    }
    cell.Range().ParagraphFormat().Alignment(paragraph);
}

// The bottom lines each cell position of a row has drawn: a cell below one of them keeps its
// top line, which would otherwise be cleared together with the line it shares.
using BottomFlags = std::array<bool, max_cells_per_row + 1>;

// The lines of a cell's ruling code. A left line is drawn only by the row's first cell; the
// others' left lines are their neighbours' right lines.
void rule_cell(word::Cell& cell, const jobfiles::CellRuling& ruling, int column, bool line_above,
               bool& bottom_drawn) {
    if (ruling.left.drawn() && column == 1) set_border(cell, word::wdBorderLeft, true);
    bottom_drawn = ruling.bottom.drawn();
    if (bottom_drawn) set_border(cell, word::wdBorderBottom, true);
    set_border(cell, word::wdBorderRight, ruling.right.drawn());
    set_border(cell, word::wdBorderTop, ruling.top.drawn() || line_above);
    if (ruling.diagonal_down.drawn()) set_border(cell, word::wdBorderDiagonalDown, true);
    if (ruling.diagonal_up.drawn()) set_border(cell, word::wdBorderDiagonalUp, true);
}

// A merged cell takes the ruling code of the cell it continues again, without diagonals.
void rule_merged_cell(word::Cell& cell, const jobfiles::CellRuling& ruling, bool line_above) {
    if (ruling.left.drawn()) set_border(cell, word::wdBorderLeft, true);
    if (ruling.bottom.drawn()) set_border(cell, word::wdBorderBottom, true);
    set_border(cell, word::wdBorderRight, ruling.right.drawn());
    set_border(cell, word::wdBorderTop, ruling.top.drawn() || line_above);
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

/* ---------------------------------------------------------------- TableWriter::TableWriter */
TableWriter::TableWriter(const WordRunSettings& settings, const BlockPictures& pictures)
    : settings_(settings), pictures_(pictures) {
    table_drawing_.Font_Name = settings.Font_Name;
}

/* ---------------------------------------------------------------- TableWriter::write */
void TableWriter::write(const TableTarget& target) {
    if (settings_.Matrix_SW) {
        write_word_table(target);
    } else {
        draw_table(target);
    }
    target.text.table_written();
}

/* ---------------------------------------------------------------- TableWriter::write_word_table
 */
void TableWriter::write_word_table(const TableTarget& target) {
    jobfiles::PrnCharReader& text_file = target.text_file;
    const std::size_t matrix_line = text_file.offset();
    jobfiles::MatrixHeader header = text_file.read_matrix_header();
    text_file.read_matrix_widths(header);
    if (header.m2 > max_cells_per_row) {
        // A row's bottom lines are remembered for at most 50 cells.
        throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                                 "PRN_CHAR: byte " + std::to_string(text_file.offset()) +
                                     ": a table row of more than 50 cells");
    }
    target.text.write_lines_above_table(target.output, header.m3, target.page_number, matrix_line);

    word::Document& work = target.work_document;
    work.Tables().Add(target.work_range, header.m1, header.m2);
    word::Table table = work.Tables().Item(work.Tables().Count());
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
    // A joined cell is ruled and aligned again like the last cell written; before any, a code
    // with no characters rules every side.
    jobfiles::CellRuling last_ruling;
    jobfiles::CellAlignment last_alignment = jobfiles::CellAlignment::left;
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
        target.page.add_row_drift(row_height - static_cast<double>(char_size));

        for (std::size_t c = 1; c <= static_cast<std::size_t>(header.m2); ++c) {
            const jobfiles::CellLine cell_line = text_file.read_cell_line();
            const int b = jobfiles::to_int16(cell_line.b);
            if (!cell_line.joins_left) {
                const int column = b + 1 - merged;
                word::Cell cell = table.Cell(row_index, column);
                rule_cell(cell, cell_line.ruling, column, above[c], current[c]);
                cell.TopPadding(word::MillimetersToPoints(0));
                cell.BottomPadding(word::MillimetersToPoints(0));
                cell.LeftPadding(word::MillimetersToPoints(0));
                cell.RightPadding(word::MillimetersToPoints(0));
                cell.Range().ParagraphFormat().WordWrap(false);
                last_ruling = cell_line.ruling;

                std::string text = cell_line.text;
                if (cell_line.alignment == jobfiles::CellAlignment::left) {
                    text = std::string(cp932::right_trim(text));
                }
                align_paragraph(cell, cell_line.alignment);
                cell.VerticalAlignment(word::wdCellAlignVerticalCenter);
                const CellText parsed = parse_cell_text(text);
                write_cell_text(cell, cp932::to_utf8(parsed.text), parsed);
                last_alignment = cell_line.alignment;
            } else {
                word::Range span = table.Cell(row_index, b - merged).Range();
                span.End(table.Cell(row_index, b + 1 - merged).Range().End());
                span.Cells().Merge();
                ++merged;
                current[c] = current[c - 1];
                word::Cell cell = table.Cell(row_index, b + 1 - merged);
                rule_merged_cell(cell, last_ruling, above[c]);
                align_paragraph(cell, last_alignment);
            }
        }
        std::copy_n(current.begin(), header.m2 + 1, above.begin());
    }

    const double indent =
        jobfiles::to_int32(header.m4 + target.text.block().x1 - settings_.Margin_Left);
    table.Rows().LeftIndent(0);
    table.Rows().LeftIndent(word::MillimetersToPoints(static_cast<float>(indent * 0.1)));
    table.Range().Cut();
    word::Range& out = target.output.range;
    if (target.page.table_opens_page()) {
        out.InsertAfter(" ");
        out.Collapse(word::wdCollapseEnd);
    }
    out.Paste();
    out.Collapse(word::wdCollapseEnd);
    target.word.Clipboard().Clear();
    target.page.table_written(settings_.Char_Size);
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
    switch (cell.alignment) {
        case jobfiles::CellAlignment::left:
            text_x = left;
            break;
        case jobfiles::CellAlignment::centred:
            text_x = left + h / 2 - length * d.cs / 4;
            break;
        case jobfiles::CellAlignment::right:
            text_x = left + h - length * d.cs / 2;
            break;
        case jobfiles::CellAlignment::other:
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
    const jobfiles::CellRuling& r = cell.ruling;
    const std::pair<jobfiles::CellRule, Ruling> lines[6] = {
        {r.diagonal_down, {right, bottom, left, top}}, {r.diagonal_up, {left, bottom, right, top}},
        {r.left, {left, bottom, left, top}},           {r.bottom, {left, bottom, right, bottom}},
        {r.right, {right, bottom, right, top}},        {r.top, {left, top, right, top}}};
    for (const auto& [rule, line] : lines) {
        if (!rule.drawn()) continue;
        // "1" draws line kind 2: a dashed line one pixel wide.
        const auto kind = static_cast<std::int16_t>(rule.digit() + 1);
        graphics::DrawLine(d.context, d.x(line.from_x), d.y(line.from_y), d.x(line.to_x),
                           d.y(line.to_y), kind, 0);
    }
}

}  // namespace

/* ---------------------------------------------------------------- TableWriter::draw_table */
void TableWriter::draw_table(const TableTarget& target) {
    jobfiles::PrnCharReader& text_file = target.text_file;
    const std::size_t matrix_line = text_file.offset();
    const jobfiles::MatrixHeader header = text_file.read_matrix_header();
    // The header's column widths are not needed: every cell line carries its own width.
    text_file.read_rest_of_line();
    target.text.write_lines_above_table(target.output, header.m3, target.page_number, matrix_line);

    const jobfiles::BlockHeader& block = target.text.block();
    const auto x1 = static_cast<double>(block.x1);
    const auto y1 = static_cast<double>(block.y1);
    const auto x2 = static_cast<double>(block.x2);
    const auto y2 = static_cast<double>(block.y2);
    const emf::RECTL frame = pictures_.block_frame(x1, y1, x2, y2);
    graphics::BlockMetafile drawing(
        table_drawing_, pictures_.meta_file("MT" + std::to_string(block.Block_No) + ".emf"),
        frame.right, frame.bottom);

    TableDrawing d{table_drawing_, static_cast<double>(pictures_.FontSizeRatio)};
    d.cs = static_cast<double>(word::PointsToMillimeters(settings_.Char_Size * 10));
    d.text_height = jobfiles::to_int16(d.cs * 10 * d.F);
    for (int r = 1; r <= header.m1; ++r) {
        // The last row ends on the block's bottom edge, wherever the rows above put its top.
        const double bottom = r == header.m1 ? y2 - y1 : header.m3 * d.cs + r * header.m5;
        double left = header.m4;
        for (int c = 1; c <= header.m2; ++c) {
            const jobfiles::CellLine cell = text_file.read_cell_line();
            // "@" continues its left neighbour, which has drawn the whole width already.
            if (cell.joins_left) continue;
            draw_cell(d, cell, left, bottom, header.m5, table_text_x_);
            drawing.mark_drawn();
            left += cell.h;
        }
    }

    // The table's height stays reserved in the text: one paragraph per row at the row pitch.
    word::Range& out = target.output.range;
    for (int r = 1; r <= header.m1; ++r) {
        out.Collapse(word::wdCollapseEnd);
        out.ParagraphFormat().LineSpacing(
            word::MillimetersToPoints(static_cast<float>(header.m5 * 0.1)));
        out.InsertAfter("\r");
    }
    out.Collapse(word::wdCollapseEnd);
    out.ParagraphFormat().LineSpacing(settings_.Char_Size);

    out.Collapse(word::wdCollapseEnd);
    const std::int32_t page_start = target.page.page_start_position();
    out.SetRange(page_start, page_start);
    if (const std::optional<std::filesystem::path> file = drawing.finish()) {
        const PicturePlace place = pictures_.place_of_block(x1, y1, x2, y2);
        pictures_.add_picture(target.output, *file, place, target.page.table_top(place.top));
    }
    // Anything written after the table in this block goes below it, not at the page's top.
    out.End(target.output.document.Content().End());
    out.Collapse(word::wdCollapseEnd);
}

}  // namespace wordbuilder
