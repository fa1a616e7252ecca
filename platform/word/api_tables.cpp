// Tables, Table, Rows, Row, Columns, Column, Cell, Cells, Borders and Border.
#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "platform/word/handles.h"
#include "platform/word/word_errors.h"

namespace word {

using detail::CellData;
using detail::DocState;
using detail::RowData;
using detail::TableState;

namespace {

DocState& doc_of(const TableState& t) {
    if (t.doc == nullptr) detail::throw_invalid("the table is no longer in a document");
    t.doc->check_open();
    return *t.doc;
}

RowData& row_of(const TableState& t, int row) {
    doc_of(t);
    if (row < 1 || row > static_cast<int>(t.rows.size())) {
        detail::throw_no_member("Rows(" + std::to_string(row) + ")");
    }
    return const_cast<RowData&>(t.rows[static_cast<std::size_t>(row - 1)]);
}

CellData& cell_of(const TableState& t, int row, int column) {
    RowData& r = row_of(t, row);
    if (column < 1 || column > static_cast<int>(r.cells.size())) {
        detail::throw_no_member("Cell(" + std::to_string(row) + ", " + std::to_string(column) +
                                ")");
    }
    return r.cells[static_cast<std::size_t>(column - 1)];
}

std::int32_t row_start(TableState& t, int row) {
    std::int32_t pos = doc_of(t).table_start(t);
    for (int r = 1; r < row; ++r) pos += t.rows[static_cast<std::size_t>(r - 1)].length();
    return pos;
}

std::int32_t cell_start(TableState& t, int row, int column) {
    std::int32_t pos = row_start(t, row);
    const RowData& r = t.rows[static_cast<std::size_t>(row - 1)];
    for (int c = 1; c < column; ++c) pos += r.cells[static_cast<std::size_t>(c - 1)].length();
    return pos;
}

std::shared_ptr<DocState> shared_doc(DocState& doc) {
    for (const auto& d : doc.app->documents) {
        if (d.get() == &doc) return d;
    }
    detail::throw_invalid("the document is closed");
}

float checked_points(float points, const char* what) {
    if (!std::isfinite(points) || points < 0.0f || points > 1584.0f) {
        detail::throw_out_of_range(std::string(what) + " " + std::to_string(points));
    }
    return points;
}

// Border index to the cell side; the inside borders of a table are handled separately.
std::size_t side_of(int index) {
    switch (index) {
        case wdBorderTop:
            return detail::top;
        case wdBorderLeft:
            return detail::left;
        case wdBorderBottom:
            return detail::bottom;
        case wdBorderRight:
            return detail::right;
        case wdBorderDiagonalDown:
            return detail::diagonal_down;
        case wdBorderDiagonalUp:
            return detail::diagonal_up;
        default:
            break;
    }
    detail::throw_no_member("Borders(" + std::to_string(index) + ")");
}

constexpr int wdBorderHorizontal = -5;
constexpr int wdBorderVertical = -6;

// Applies `change` to `side` of every cell of `row` whose horizontal extent overlaps
// [from, to) (points from the table's indent origin).
template <class F>
void change_touching(RowData& row, float from, float to, std::size_t side, F change) {
    constexpr float tolerance = 0.01f;
    float x = row.left_indent;
    for (CellData& cell : row.cells) {
        const float next = x + cell.width;
        if (next > from + tolerance && x < to - tolerance) change(cell.borders[side]);
        x = next;
    }
}

// Applies `change` to one border side of a cell, keeping the line it shares with the cell
// beside it, and with the cells above or below it, as Word keeps one line between them.
template <class F>
void change_cell_side(TableState& table, std::size_t r, std::size_t column, std::size_t side,
                      F change) {
    RowData& row = table.rows[r];
    change(row.cells[column].borders[side]);
    if (side == detail::left && column > 0) change(row.cells[column - 1].borders[detail::right]);
    if (side == detail::right && column + 1 < row.cells.size()) {
        change(row.cells[column + 1].borders[detail::left]);
    }
    if (side != detail::top && side != detail::bottom) return;
    float from = row.left_indent;
    for (std::size_t c = 0; c < column; ++c) from += row.cells[c].width;
    const float to = from + row.cells[column].width;
    if (side == detail::top && r > 0)
        change_touching(table.rows[r - 1], from, to, detail::bottom, change);
    if (side == detail::bottom && r + 1 < table.rows.size()) {
        change_touching(table.rows[r + 1], from, to, detail::top, change);
    }
}

template <class F>
void change_border(const detail::BordersTarget& t, int index, F change) {
    TableState& table = *t.table;
    if (t.row > 0) {
        cell_of(table, t.row, t.column);
        change_cell_side(table, static_cast<std::size_t>(t.row - 1),
                         static_cast<std::size_t>(t.column - 1), side_of(index), change);
        return;
    }
    doc_of(table);
    const std::size_t last_row = table.rows.size() - 1;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        RowData& row = table.rows[r];
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            auto& b = row.cells[c].borders;
            const bool last_cell = c + 1 == row.cells.size();
            switch (index) {
                case wdBorderTop:
                    if (r == 0) change(b[detail::top]);
                    break;
                case wdBorderBottom:
                    if (r == last_row) change(b[detail::bottom]);
                    break;
                case wdBorderLeft:
                    if (c == 0) change(b[detail::left]);
                    break;
                case wdBorderRight:
                    if (last_cell) change(b[detail::right]);
                    break;
                case wdBorderHorizontal:
                    if (r > 0) change(b[detail::top]);
                    if (r < last_row) change(b[detail::bottom]);
                    break;
                case wdBorderVertical:
                    if (c > 0) change(b[detail::left]);
                    if (!last_cell) change(b[detail::right]);
                    break;
                default:
                    change(b[side_of(index)]);
                    break;
            }
        }
    }
}

const detail::BorderLine& read_border(const detail::BordersTarget& t, int index) {
    TableState& table = *t.table;
    if (t.row > 0) return cell_of(table, t.row, t.column).borders[side_of(index)];
    const CellData& corner = cell_of(table, 1, 1);
    switch (index) {
        case wdBorderBottom:
            return cell_of(table, static_cast<int>(table.rows.size()), 1).borders[detail::bottom];
        case wdBorderRight:
            return cell_of(table, 1, static_cast<int>(table.rows[0].cells.size()))
                .borders[detail::right];
        case wdBorderHorizontal:
            return corner.borders[detail::bottom];
        case wdBorderVertical:
            return corner.borders[detail::right];
        default:
            return corner.borders[side_of(index)];
    }
}

void check_line_style(int style) {
    if (style < wdLineStyleNone || style > 7) {
        detail::throw_out_of_range("LineStyle " + std::to_string(style));
    }
}

void check_line_width(int width) {
    static const std::set<int> widths{2, 4, 6, 8, 12, 18, 24, 36, 48};
    if (!widths.contains(width)) detail::throw_out_of_range("LineWidth " + std::to_string(width));
}

}  // namespace

/* ---------------------------------------------------------------- Tables */
Tables::Tables(word::Range scope) : scope_(std::move(scope)) {}

namespace {

std::vector<std::shared_ptr<TableState>> tables_in(DocState& doc, std::int32_t s, std::int32_t e) {
    std::vector<std::shared_ptr<TableState>> out;
    for (std::size_t b = doc.locate(s).block; b < doc.blocks.size(); ++b) {
        const auto& block = doc.blocks[b];
        if (block.start >= std::max(e, s + 1)) break;
        if (block.table) out.push_back(block.table);
    }
    return out;
}

}  // namespace

Table Tables::Add(const word::Range& range, int rows, int columns) {
    DocState& doc = detail::doc_of(*range.state_);
    return Table(doc.add_table(range.state_->start, range.state_->end, rows, columns, nullptr));
}

std::int32_t Tables::Count() const {
    DocState& doc = detail::doc_of(*scope_.state_);
    return static_cast<std::int32_t>(
        tables_in(doc, scope_.state_->start, scope_.state_->end).size());
}

Table Tables::Item(std::int32_t index) const {
    DocState& doc = detail::doc_of(*scope_.state_);
    const auto all = tables_in(doc, scope_.state_->start, scope_.state_->end);
    if (index < 1 || index > static_cast<std::int32_t>(all.size())) {
        detail::throw_no_member("Tables(" + std::to_string(index) + ")");
    }
    return Table(all[static_cast<std::size_t>(index - 1)]);
}

/* ---------------------------------------------------------------- Table */
Table::Table(std::shared_ptr<TableState> state) : state_(std::move(state)) {}

word::Range Table::Range() const {
    DocState& doc = doc_of(*state_);
    const std::int32_t start = doc.table_start(*state_);
    return word::Range(doc.make_range(start, start + state_->length(), shared_doc(doc)));
}

word::Rows Table::Rows() const {
    doc_of(*state_);
    return word::Rows(state_);
}

word::Columns Table::Columns() const {
    doc_of(*state_);
    return word::Columns(state_);
}

word::Cell Table::Cell(int row, int column) const {
    cell_of(*state_, row, column);
    return word::Cell(state_, row, column);
}

word::Borders Table::Borders() const {
    doc_of(*state_);
    return word::Borders(
        std::make_shared<detail::BordersTarget>(detail::BordersTarget{state_, 0, 0}));
}

/* ---------------------------------------------------------------- Rows, Row */
Rows::Rows(std::shared_ptr<TableState> table) : table_(std::move(table)) {}

std::int32_t Rows::Count() const {
    doc_of(*table_);
    return static_cast<std::int32_t>(table_->rows.size());
}

Row Rows::Item(int index) const {
    row_of(*table_, index);
    return Row(table_, index);
}

void Rows::HeightRule(int rule) {
    for (int r = 1; r <= Count(); ++r) Item(r).HeightRule(rule);
}
void Rows::Height(float points) {
    for (int r = 1; r <= Count(); ++r) Item(r).Height(points);
}
void Rows::LeftIndent(float points) {
    for (int r = 1; r <= Count(); ++r) Item(r).LeftIndent(points);
}

Row::Row(std::shared_ptr<TableState> table, int row) : table_(std::move(table)), row_(row) {}

int Row::Index() const {
    return row_;
}
int Row::HeightRule() const {
    return row_of(*table_, row_).height_rule;
}
void Row::HeightRule(int rule) {
    if (rule < wdRowHeightAuto || rule > wdRowHeightExactly) {
        detail::throw_out_of_range("HeightRule " + std::to_string(rule));
    }
    row_of(*table_, row_).height_rule = rule;
}
float Row::Height() const {
    return row_of(*table_, row_).height;
}
void Row::Height(float points) {
    row_of(*table_, row_).height = checked_points(points, "Row.Height");
    // Giving a height makes an automatic row at least that high, as Word does.
    if (row_of(*table_, row_).height_rule == wdRowHeightAuto) {
        row_of(*table_, row_).height_rule = wdRowHeightAtLeast;
    }
}
float Row::LeftIndent() const {
    return row_of(*table_, row_).left_indent;
}
void Row::LeftIndent(float points) {
    if (!std::isfinite(points) || std::fabs(points) > 1584.0f) {
        detail::throw_out_of_range("Row.LeftIndent " + std::to_string(points));
    }
    row_of(*table_, row_).left_indent = points;
}
word::Range Row::Range() const {
    RowData& r = row_of(*table_, row_);
    DocState& doc = doc_of(*table_);
    const std::int32_t start = row_start(*table_, row_);
    return word::Range(doc.make_range(start, start + r.length(), shared_doc(doc)));
}

/* ---------------------------------------------------------------- Columns, Column */
Columns::Columns(std::shared_ptr<TableState> table) : table_(std::move(table)) {}

std::int32_t Columns::Count() const {
    doc_of(*table_);
    std::size_t n = 0;
    for (const RowData& r : table_->rows) n = std::max(n, r.cells.size());
    return static_cast<std::int32_t>(n);
}

Column Columns::Item(int index) const {
    if (index < 1 || index > Count())
        detail::throw_no_member("Columns(" + std::to_string(index) + ")");
    return Column(table_, index);
}

Column::Column(std::shared_ptr<TableState> table, int column)
    : table_(std::move(table)), column_(column) {}

int Column::Index() const {
    return column_;
}

float Column::Width() const {
    doc_of(*table_);
    std::optional<float> width;
    for (const RowData& r : table_->rows) {
        if (static_cast<int>(r.cells.size()) < column_) continue;
        const float w = r.cells[static_cast<std::size_t>(column_ - 1)].width;
        if (width && *width != w) return static_cast<float>(wdUndefined);
        width = w;
    }
    return width.value_or(static_cast<float>(wdUndefined));
}

void Column::Width(float points) {
    doc_of(*table_);
    checked_points(points, "Column.Width");
    for (RowData& r : table_->rows) {
        if (static_cast<int>(r.cells.size()) >= column_) {
            r.cells[static_cast<std::size_t>(column_ - 1)].width = points;
        }
    }
}

/* ---------------------------------------------------------------- Cell */
Cell::Cell(std::shared_ptr<TableState> table, int row, int column)
    : table_(std::move(table)), row_(row), column_(column) {}

int Cell::RowIndex() const {
    return row_;
}
int Cell::ColumnIndex() const {
    return column_;
}

word::Range Cell::Range() const {
    const CellData& c = cell_of(*table_, row_, column_);
    DocState& doc = doc_of(*table_);
    const std::int32_t start = cell_start(*table_, row_, column_);
    return word::Range(doc.make_range(start, start + c.length(), shared_doc(doc)));
}

float Cell::Width() const {
    return cell_of(*table_, row_, column_).width;
}
void Cell::Width(float points) {
    cell_of(*table_, row_, column_).width = checked_points(points, "Cell.Width");
}
int Cell::VerticalAlignment() const {
    return cell_of(*table_, row_, column_).vertical_alignment;
}
void Cell::VerticalAlignment(int alignment) {
    if (alignment != wdCellAlignVerticalTop && alignment != wdCellAlignVerticalCenter &&
        alignment != wdCellAlignVerticalBottom) {
        detail::throw_out_of_range("VerticalAlignment " + std::to_string(alignment));
    }
    cell_of(*table_, row_, column_).vertical_alignment = alignment;
}
float Cell::TopPadding() const {
    return cell_of(*table_, row_, column_).padding[0];
}
void Cell::TopPadding(float p) {
    cell_of(*table_, row_, column_).padding[0] = checked_points(p, "TopPadding");
}
float Cell::LeftPadding() const {
    return cell_of(*table_, row_, column_).padding[1];
}
void Cell::LeftPadding(float p) {
    cell_of(*table_, row_, column_).padding[1] = checked_points(p, "LeftPadding");
}
float Cell::BottomPadding() const {
    return cell_of(*table_, row_, column_).padding[2];
}
void Cell::BottomPadding(float p) {
    cell_of(*table_, row_, column_).padding[2] = checked_points(p, "BottomPadding");
}
float Cell::RightPadding() const {
    return cell_of(*table_, row_, column_).padding[3];
}
void Cell::RightPadding(float p) {
    cell_of(*table_, row_, column_).padding[3] = checked_points(p, "RightPadding");
}

word::Borders Cell::Borders() const {
    cell_of(*table_, row_, column_);
    return word::Borders(
        std::make_shared<detail::BordersTarget>(detail::BordersTarget{table_, row_, column_}));
}

/* ---------------------------------------------------------------- Cells */
Cells::Cells(word::Range range) : range_(std::move(range)) {}

std::int32_t Cells::Count() const {
    DocState& doc = detail::doc_of(*range_.state_);
    std::set<std::pair<const void*, int>> cells;
    for (std::int32_t p = range_.state_->start;
         p < std::max(range_.state_->end, range_.state_->start + 1); ++p) {
        const detail::Location at = doc.locate(p);
        if (doc.blocks[at.block].table && at.cell >= 0) {
            cells.emplace(&doc.blocks[at.block].table->rows[static_cast<std::size_t>(at.row)],
                          at.cell);
        }
    }
    return static_cast<std::int32_t>(cells.size());
}

void Cells::Merge() {
    DocState& doc = detail::doc_of(*range_.state_);
    doc.merge_cells(range_.state_->start, range_.state_->end);
}

/* ---------------------------------------------------------------- Borders, Border */
Borders::Borders(std::shared_ptr<detail::BordersTarget> target) : target_(std::move(target)) {}

Border Borders::Item(int index) const {
    if (target_->row > 0) side_of(index);
    if (index < wdBorderDiagonalUp || index > wdBorderTop) {
        detail::throw_no_member("Borders(" + std::to_string(index) + ")");
    }
    return Border(std::make_shared<detail::BorderTarget>(detail::BorderTarget{*target_, index}));
}

void Borders::OutsideLineStyle(int style) {
    for (int index : {wdBorderTop, wdBorderLeft, wdBorderBottom, wdBorderRight}) {
        Item(index).LineStyle(style);
    }
}

Border::Border(std::shared_ptr<detail::BorderTarget> target) : target_(std::move(target)) {}

int Border::LineStyle() const {
    return read_border(target_->borders, target_->index).style;
}
void Border::LineStyle(int style) {
    check_line_style(style);
    change_border(target_->borders, target_->index,
                  [style](detail::BorderLine& b) { b.style = style; });
}

int Border::LineWidth() const {
    return read_border(target_->borders, target_->index).width;
}
void Border::LineWidth(int width) {
    check_line_width(width);
    change_border(target_->borders, target_->index,
                  [width](detail::BorderLine& b) { b.width = width; });
}

}  // namespace word
