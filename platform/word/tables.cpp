// Tables in the body: adding, merging cells, and moving blocks through the clipboard.
#include <algorithm>
#include <iterator>
#include <map>
#include <string>

#include "platform/word/model.h"
#include "platform/word/runs.h"
#include "platform/word/word_errors.h"

namespace word::detail {

namespace {

// Where whole blocks go at `position`: before its paragraph, or between the two halves of it.
// Returns the block index for the insertion.
std::size_t open_gap(DocState& doc, std::int32_t position) {
    const Location at = doc.locate(doc.clamp_insertion(position));
    if (doc.blocks[at.block].table) throw_invalid("a table or paragraphs inside a table cell");
    if (at.offset == 0) return at.block;
    Paragraph& para = doc.blocks[at.block].paragraph;
    Block tail;
    tail.paragraph.text = para.text.substr(static_cast<std::size_t>(at.offset));
    tail.paragraph.runs = split_runs(para.runs, at.offset);
    tail.paragraph.mark_format = para.mark_format;
    tail.paragraph.para_format = para.para_format;
    for (auto it = para.anchors.begin(); it != para.anchors.end();) {
        if (it->offset >= at.offset) {
            tail.paragraph.anchors.push_back({it->shape, it->offset - at.offset});
            it = para.anchors.erase(it);
        } else {
            ++it;
        }
    }
    para.mark_format = para.format_at(at.offset - 1);
    para.text.resize(static_cast<std::size_t>(at.offset));
    doc.blocks.insert(doc.blocks.begin() + static_cast<std::ptrdiff_t>(at.block) + 1,
                      std::move(tail));
    return at.block + 1;
}

// Joins a table at `index` to a table directly before it, as Word does; returns the table
// that now holds its rows.
std::shared_ptr<TableState> join_with_previous(DocState& doc, std::size_t index) {
    auto table = doc.blocks[index].table;
    if (index == 0 || !doc.blocks[index - 1].table) return table;
    auto previous = doc.blocks[index - 1].table;
    std::move(table->rows.begin(), table->rows.end(), std::back_inserter(previous->rows));
    table->rows.clear();
    table->doc = nullptr;
    doc.blocks.erase(doc.blocks.begin() + static_cast<std::ptrdiff_t>(index));
    return previous;
}

Paragraph copy_paragraph(const Paragraph& p) {
    Paragraph out = p;
    for (Anchor& a : out.anchors) {
        auto shape = std::make_shared<ShapeState>(*a.shape);
        shape->doc = nullptr;
        a.shape = std::move(shape);
    }
    return out;
}

Block copy_block(const Block& b) {
    Block out;
    if (!b.table) {
        out.paragraph = copy_paragraph(b.paragraph);
        return out;
    }
    out.table = std::make_shared<TableState>();
    out.table->rows = b.table->rows;
    for (RowData& row : out.table->rows) {
        for (CellData& cell : row.cells) {
            for (Paragraph& p : cell.paragraphs) p = copy_paragraph(p);
        }
    }
    return out;
}

template <class F>
void for_each_paragraph_of(Block& b, F&& f) {
    if (!b.table) return f(b.paragraph);
    for (RowData& row : b.table->rows) {
        for (CellData& cell : row.cells) {
            for (Paragraph& p : cell.paragraphs) f(p);
        }
    }
}

}  // namespace

/* ---------------------------------------------------------------- DocState::add_table */
std::shared_ptr<TableState> DocState::add_table(std::int32_t start, std::int32_t end, int rows,
                                                int columns, const RangeState* actor) {
    if (rows < 1 || columns < 1 || rows > 32767 || columns > 63) {
        throw_out_of_range("Tables.Add " + std::to_string(rows) + " x " + std::to_string(columns));
    }
    if (start < end) remove(start, end, actor);
    const std::int32_t position = clamp_insertion(start);
    const std::int32_t before = content_end();
    const std::size_t index = open_gap(*this, position);
    const Paragraph& next = blocks[index].paragraph;

    auto table = std::make_shared<TableState>();
    table->doc = this;
    const float text_width = page_width - margin_left - margin_right;
    CellData cell;
    cell.width = text_width / static_cast<float>(columns);
    Paragraph empty;
    empty.mark_format = next.format_at(0);
    empty.para_format = next.para_format;
    cell.paragraphs.push_back(empty);
    cell.borders[diagonal_down].style = 0;
    cell.borders[diagonal_up].style = 0;
    RowData row;
    row.cells.assign(static_cast<std::size_t>(columns), cell);
    row.end_format = next.para_format;
    table->rows.assign(static_cast<std::size_t>(rows), row);

    Block block;
    block.table = table;
    blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(index), std::move(block));
    table = join_with_previous(*this, index);
    restart_from(index > 0 ? index - 1 : 0);
    shift_ranges(position, content_end() - before, nullptr);
    return table;
}

/* ---------------------------------------------------------------- DocState::merge_cells */
void DocState::merge_cells(std::int32_t start, std::int32_t end) {
    const Location first = locate(start);
    const Location last = locate(std::max(start, end - 1));
    if (!blocks[first.block].table || first.block != last.block || first.row != last.row ||
        first.cell < 0 || last.cell < 0) {
        throw_invalid("Cells.Merge needs cells of one table row");
    }
    if (first.cell == last.cell) return;
    const std::int32_t before = content_end();
    RowData& row = blocks[first.block].table->rows[static_cast<std::size_t>(first.row)];
    const auto a = static_cast<std::size_t>(first.cell);
    const auto b = static_cast<std::size_t>(last.cell);
    CellData& target = row.cells[a];
    const auto is_empty = [](const CellData& c) {
        return c.paragraphs.size() == 1 && c.paragraphs[0].text.empty() &&
               c.paragraphs[0].anchors.empty();
    };
    std::vector<Paragraph> content;
    for (std::size_t i = a; i <= b; ++i) {
        if (!is_empty(row.cells[i])) {
            std::move(row.cells[i].paragraphs.begin(), row.cells[i].paragraphs.end(),
                      std::back_inserter(content));
        }
    }
    for (std::size_t i = a + 1; i <= b; ++i) target.width += row.cells[i].width;
    target.borders[right] = row.cells[b].borders[right];
    if (!content.empty()) target.paragraphs = std::move(content);
    row.cells.erase(row.cells.begin() + static_cast<std::ptrdiff_t>(a) + 1,
                    row.cells.begin() + static_cast<std::ptrdiff_t>(b) + 1);
    restart_from(first.block);
    shift_ranges(start, content_end() - before, nullptr);
}

/* ---------------------------------------------------------------- DocState::copy */
Fragment DocState::copy(std::int32_t start, std::int32_t end) const {
    Fragment out;
    std::map<std::uint32_t, std::uint32_t> char_ids;
    std::map<std::uint32_t, std::uint32_t> para_ids;
    const auto char_id = [&](std::uint32_t id) {
        auto [it, added] =
            char_ids.try_emplace(id, static_cast<std::uint32_t>(out.char_formats.size()));
        if (added) out.char_formats.push_back(char_formats[id]);
        return it->second;
    };
    const auto para_id = [&](std::uint32_t id) {
        auto [it, added] =
            para_ids.try_emplace(id, static_cast<std::uint32_t>(out.para_formats.size()));
        if (added) out.para_formats.push_back(para_formats[id]);
        return it->second;
    };
    const auto renumber = [&](Paragraph& p) {
        for (Run& r : p.runs) r.format = char_id(r.format);
        p.mark_format = char_id(p.mark_format);
        p.para_format = para_id(p.para_format);
    };

    const Location ls = locate(start);
    const Location le = locate(std::max(start, end - 1));
    const Paragraph* p = nullptr;
    if (ls.block == le.block && ls.row == le.row && ls.cell == le.cell &&
        ls.paragraph == le.paragraph && (ls.cell >= 0 || !blocks[ls.block].table)) {
        p = &paragraph_at(ls);
    }
    if (p != nullptr && end - ls.paragraph_start <= static_cast<std::int32_t>(p->text.size())) {
        out.inline_text = true;
        out.text.text = p->text.substr(static_cast<std::size_t>(ls.offset),
                                       static_cast<std::size_t>(end - start));
        std::vector<Run> runs = p->runs;
        std::vector<Run> tail = split_runs(runs, ls.offset);
        split_runs(tail, end - start);
        out.text.runs = std::move(tail);
        renumber(out.text);
        return out;
    }

    const Block& head = blocks[ls.block];
    const Block& tail = blocks[le.block];
    const bool whole_blocks = start == head.start && end == tail.start + tail.length();
    if (whole_blocks) {
        for (std::size_t i = ls.block; i <= le.block; ++i)
            out.blocks.push_back(copy_block(blocks[i]));
    } else if (head.table && ls.block == le.block) {
        // Whole rows of one table.
        std::int32_t pos = head.start;
        std::size_t first_row = head.table->rows.size();
        std::size_t last_row = 0;
        bool aligned_start = false;
        bool aligned_end = false;
        for (std::size_t r = 0; r < head.table->rows.size(); ++r) {
            const std::int32_t len = head.table->rows[r].length();
            if (pos == start) first_row = r, aligned_start = true;
            if (pos + len == end) last_row = r, aligned_end = true;
            pos += len;
        }
        if (!aligned_start || !aligned_end || first_row > last_row) {
            throw_invalid("only whole table rows can be cut or copied");
        }
        Block part = copy_block(head);
        part.table->rows.assign(
            part.table->rows.begin() + static_cast<std::ptrdiff_t>(first_row),
            part.table->rows.begin() + static_cast<std::ptrdiff_t>(last_row) + 1);
        out.blocks.push_back(std::move(part));
    } else {
        throw_invalid("only text within a paragraph, whole paragraphs or whole rows can be cut");
    }
    for (Block& b : out.blocks) {
        for_each_paragraph_of(b, renumber);
        if (b.table) {
            for (RowData& row : b.table->rows) row.end_format = para_id(row.end_format);
        }
    }
    return out;
}

/* ---------------------------------------------------------------- DocState::paste */
std::pair<std::int32_t, std::int32_t> DocState::paste(std::int32_t position,
                                                      const Fragment& fragment,
                                                      const RangeState* actor) {
    std::vector<std::uint32_t> char_ids;
    std::vector<std::uint32_t> para_ids;
    for (const CharFormat& f : fragment.char_formats) char_ids.push_back(char_formats.intern(f));
    for (const ParaFormat& f : fragment.para_formats) para_ids.push_back(para_formats.intern(f));
    std::vector<std::shared_ptr<ShapeState>> new_shapes;
    const auto adopt = [&](Paragraph& p) {
        for (Run& r : p.runs) r.format = char_ids[r.format];
        p.mark_format = char_ids[p.mark_format];
        p.para_format = para_ids[p.para_format];
        for (Anchor& a : p.anchors) {
            auto shape = std::make_shared<ShapeState>(*a.shape);
            shape->doc = this;
            a.shape = shape;
            new_shapes.push_back(std::move(shape));
        }
    };

    position = clamp_insertion(position);
    const std::int32_t before = content_end();
    if (fragment.inline_text) {
        Paragraph piece = fragment.text;
        adopt(piece);
        const Location at = locate(position);
        Paragraph& para = paragraph_at(at);
        para.text.insert(static_cast<std::size_t>(at.offset), piece.text);
        std::vector<Run> tail = split_runs(para.runs, at.offset);
        para.runs.insert(para.runs.end(), piece.runs.begin(), piece.runs.end());
        para.runs.insert(para.runs.end(), tail.begin(), tail.end());
        normalize_runs(para.runs);
        const auto len = static_cast<std::int32_t>(piece.text.size());
        for (Anchor& a : para.anchors) {
            if (a.offset > at.offset) a.offset += len;
        }
        restart_from(at.block);
        shift_ranges(position, len, actor);
        return {position, position + len};
    }

    std::size_t index = open_gap(*this, position);
    std::vector<Block> blocks_in;
    for (const Block& b : fragment.blocks) {
        Block copy = copy_block(b);
        for_each_paragraph_of(copy, adopt);
        if (copy.table) {
            copy.table->doc = this;
            for (RowData& row : copy.table->rows) row.end_format = para_ids[row.end_format];
        }
        blocks_in.push_back(std::move(copy));
    }
    const std::size_t count = blocks_in.size();
    blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(index),
                  std::make_move_iterator(blocks_in.begin()),
                  std::make_move_iterator(blocks_in.end()));
    std::size_t first = index;
    const bool joined = count > 0 && blocks[index].table && index > 0 && blocks[index - 1].table;
    if (joined) {
        join_with_previous(*this, index);
        first = index - 1;
    }
    for (auto& s : new_shapes) s->z = next_z++;
    shapes.insert(shapes.end(), new_shapes.begin(), new_shapes.end());
    restart_from(first > 0 ? first - 1 : 0);
    const std::int32_t added = content_end() - before;
    shift_ranges(position, added, actor);
    // A split paragraph's new mark comes before the pasted blocks.
    return {joined ? position : blocks[index].start, position + added};
}

}  // namespace word::detail
