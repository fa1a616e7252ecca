// Positions, text insertion and deletion, and formatting over the document's paragraphs.
#include <algorithm>
#include <iterator>
#include <string>

#include "base/unicode.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/word/docx.h"
#include "platform/word/model.h"
#include "platform/word/runs.h"
#include "platform/word/word_errors.h"

namespace word::detail {

/* ---------------------------------------------------------------- document_text */
std::u16string document_text(std::string_view utf8) {
    std::u16string text = unicode::utf8_to_utf16(utf8);
    for (char16_t& c : text) {
        const bool kept = c == u'\t' || c == u'\r' || c == 11 || c == 12;
        if (!kept && ooxml::xml_forbidden(c)) c = u'\uFFFD';
    }
    return text;
}

/* ---------------------------------------------------------------- Paragraph::format_at */
std::uint32_t Paragraph::format_at(std::int32_t offset) const {
    std::int32_t pos = 0;
    for (const Run& run : runs) {
        if (offset < pos + run.length) return run.format;
        pos += run.length;
    }
    return mark_format;
}

/* ---------------------------------------------------------------- lengths */
std::int32_t CellData::length() const noexcept {
    std::int32_t n = 0;
    for (const Paragraph& p : paragraphs) n += p.length();
    return n;
}

std::int32_t RowData::length() const noexcept {
    std::int32_t n = 1;
    for (const CellData& c : cells) n += c.length();
    return n;
}

std::int32_t TableState::length() const noexcept {
    std::int32_t n = 0;
    for (const RowData& r : rows) n += r.length();
    return n;
}

/* ---------------------------------------------------------------- DocState */
DocState::DocState() {
    const std::uint32_t plain = char_formats.intern(CharFormat{});
    Block first;
    first.paragraph.mark_format = plain;
    first.paragraph.para_format = para_formats.intern(ParaFormat{});
    blocks.push_back(std::move(first));
}

DocState::~DocState() {
    for (const auto& shape : shapes) shape->doc = nullptr;
    for (const auto& style : styles) style->doc = nullptr;
    for (const Block& b : blocks) {
        if (b.table) b.table->doc = nullptr;
    }
}

AppState::~AppState() {
    for (const auto& doc : documents) {
        doc->app = nullptr;
        doc->open = false;
    }
}

void DocState::check_open() const {
    if (!open || app == nullptr) throw_invalid("the document is closed");
}

std::int32_t DocState::content_end() const noexcept {
    return blocks.back().start + blocks.back().length();
}

/* ---------------------------------------------------------------- DocState::locate */
Location DocState::locate(std::int32_t position) const {
    if (position < settled_end) {
        throw_invalid("position " + std::to_string(position) + " is in the settled part (before " +
                      std::to_string(settled_end) + ")");
    }
    position = std::min(position, content_end() - 1);
    auto it = std::upper_bound(blocks.begin(), blocks.end(), position,
                               [](std::int32_t p, const Block& b) { return p < b.start; });
    Location at;
    at.block = static_cast<std::size_t>(std::distance(blocks.begin(), it) - 1);
    const Block& block = blocks[at.block];
    at.block_start = block.start;
    if (!block.table) {
        at.paragraph_start = block.start;
        at.offset = position - block.start;
        return at;
    }
    std::int32_t pos = block.start;
    for (std::size_t r = 0; r < block.table->rows.size(); ++r) {
        const RowData& row = block.table->rows[r];
        at.row = static_cast<int>(r);
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            for (std::size_t k = 0; k < row.cells[c].paragraphs.size(); ++k) {
                const std::int32_t len = row.cells[c].paragraphs[k].length();
                if (position < pos + len) {
                    at.cell = static_cast<int>(c);
                    at.paragraph = k;
                    at.paragraph_start = pos;
                    at.offset = position - pos;
                    return at;
                }
                pos += len;
            }
        }
        if (position == pos) {
            at.cell = -1;
            at.paragraph_start = pos;
            return at;
        }
        ++pos;
    }
    return at;
}

Paragraph& DocState::paragraph_at(const Location& at) {
    return const_cast<Paragraph&>(std::as_const(*this).paragraph_at(at));
}

const Paragraph& DocState::paragraph_at(const Location& at) const {
    const Block& block = blocks[at.block];
    if (!block.table) return block.paragraph;
    if (at.cell < 0) throw_invalid("position at an end-of-row mark");
    return block.table->rows[static_cast<std::size_t>(at.row)]
        .cells[static_cast<std::size_t>(at.cell)]
        .paragraphs[at.paragraph];
}

void DocState::restart_from(std::size_t first) {
    std::int32_t pos =
        first == 0 ? settled_end : blocks[first - 1].start + blocks[first - 1].length();
    for (std::size_t i = first; i < blocks.size(); ++i) {
        blocks[i].start = pos;
        if (blocks[i].table) blocks[i].table->block_hint = i;
        pos += blocks[i].length();
    }
}

void DocState::drop_settled() {
    settled.reset();
    settled_end = 0;
    restart_from(0);
}

std::size_t DocState::block_of(const TableState& table) {
    if (table.doc != this) throw_invalid("the table is no longer in the document");
    if (table.block_hint < blocks.size() && blocks[table.block_hint].table.get() == &table) {
        return table.block_hint;
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].table.get() == &table) return i;
    }
    throw_invalid("the table is no longer in the document");
}

std::int32_t DocState::table_start(const TableState& table) {
    return blocks[block_of(table)].start;
}

/* ---------------------------------------------------------------- effective values */
std::int32_t DocState::char_value(std::uint32_t format, int style, CharProp p) const {
    if (const auto& v = char_formats[format][p]) return *v;
    for (int s = style; s >= 0; s = styles[static_cast<std::size_t>(s)]->base) {
        if (const auto& v = styles[static_cast<std::size_t>(s)]->font[p]) return *v;
    }
    return *default_char_format()[p];
}

std::string DocState::font_value(std::uint32_t format, int style, FontSlot slot) const {
    if (const auto& v = char_formats[format][slot]) return *v;
    for (int s = style; s >= 0; s = styles[static_cast<std::size_t>(s)]->base) {
        if (const auto& v = styles[static_cast<std::size_t>(s)]->font[slot]) return *v;
    }
    return *default_char_format()[slot];
}

std::int32_t DocState::para_value(std::uint32_t format, ParaProp p) const {
    const ParaFormat& f = para_formats[format];
    if (const auto& v = f[p]) return *v;
    return style_para_value(f.style, p);
}

std::int32_t DocState::style_para_value(int style, ParaProp p) const {
    for (int s = style; s >= 0; s = styles[static_cast<std::size_t>(s)]->base) {
        if (const auto& v = styles[static_cast<std::size_t>(s)]->paragraph[p]) return *v;
    }
    return *default_para_format()[p];
}

/* ---------------------------------------------------------------- for_each_paragraph */
void DocState::for_each_paragraph(std::int32_t start, std::int32_t end,
                                  const std::function<void(Paragraph&, std::int32_t)>& visit) {
    const bool point = start >= end;
    const std::int32_t stop = point ? start + 1 : end;
    const auto touches = [&](std::int32_t ps, std::int32_t len) {
        return point ? (ps <= start && start < ps + len) : (ps < end && ps + len > start);
    };
    for (std::size_t b = locate(start).block; b < blocks.size() && blocks[b].start < stop; ++b) {
        Block& block = blocks[b];
        if (!block.table) {
            if (touches(block.start, block.paragraph.length())) visit(block.paragraph, block.start);
            continue;
        }
        std::int32_t pos = block.start;
        for (RowData& row : block.table->rows) {
            for (CellData& cell : row.cells) {
                for (Paragraph& p : cell.paragraphs) {
                    if (touches(pos, p.length())) visit(p, pos);
                    pos += p.length();
                }
            }
            ++pos;
        }
    }
}

/* ---------------------------------------------------------------- clamp_insertion */
std::int32_t DocState::clamp_insertion(std::int32_t position) const {
    return std::clamp(position, 0, content_end() - 1);
}

/* ---------------------------------------------------------------- DocState::insert_text */
std::int32_t DocState::insert_text(std::int32_t position, std::u16string_view text,
                                   const std::vector<CharChange>& pending,
                                   const RangeState* actor) {
    if (text.empty()) return 0;
    position = clamp_insertion(position);
    const Location at = locate(position);
    Paragraph& para = paragraph_at(at);
    const std::int32_t o = at.offset;

    std::uint32_t format = o > 0 ? para.format_at(o - 1) : para.format_at(0);
    if (!pending.empty()) {
        CharFormat f = char_formats[format];
        for (const CharChange& change : pending) change(f);
        format = char_formats.intern(f);
    }

    const std::size_t first_cr = text.find(u'\r');
    const std::u16string_view head = text.substr(0, first_cr);
    para.text.insert(static_cast<std::size_t>(o), head);
    insert_run(para.runs, o, static_cast<std::int32_t>(head.size()), format);
    const auto head_len = static_cast<std::int32_t>(head.size());

    if (first_cr != std::u16string_view::npos) {
        // The paragraph splits: its head ends with a new mark; its old mark and the text
        // after the insertion point end the last new paragraph.
        const std::int32_t cut = o + head_len;
        Paragraph tail;
        tail.text = para.text.substr(static_cast<std::size_t>(cut));
        tail.runs = split_runs(para.runs, cut);
        tail.mark_format = para.mark_format;
        tail.para_format = para.para_format;
        para.text.resize(static_cast<std::size_t>(cut));
        para.mark_format = format;
        std::vector<Paragraph> added;
        std::u16string_view rest = text.substr(first_cr + 1);
        for (std::size_t cr = rest.find(u'\r'); cr != std::u16string_view::npos;
             cr = rest.find(u'\r')) {
            Paragraph p;
            p.text = rest.substr(0, cr);
            insert_run(p.runs, 0, static_cast<std::int32_t>(cr), format);
            p.mark_format = format;
            p.para_format = para.para_format;
            added.push_back(std::move(p));
            rest = rest.substr(cr + 1);
        }
        tail.text.insert(0, rest);
        insert_run(tail.runs, 0, static_cast<std::int32_t>(rest.size()), format);
        for (auto it = para.anchors.begin(); it != para.anchors.end();) {
            if (it->offset > o) {
                tail.anchors.push_back(
                    {it->shape, it->offset - cut + static_cast<std::int32_t>(rest.size())});
                it = para.anchors.erase(it);
            } else {
                ++it;
            }
        }
        added.push_back(std::move(tail));
        if (!blocks[at.block].table) {
            std::vector<Block> new_blocks(added.size());
            for (std::size_t i = 0; i < added.size(); ++i)
                new_blocks[i].paragraph = std::move(added[i]);
            blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(at.block) + 1,
                          std::make_move_iterator(new_blocks.begin()),
                          std::make_move_iterator(new_blocks.end()));
        } else {
            auto& cell = blocks[at.block]
                             .table->rows[static_cast<std::size_t>(at.row)]
                             .cells[static_cast<std::size_t>(at.cell)];
            cell.paragraphs.insert(
                cell.paragraphs.begin() + static_cast<std::ptrdiff_t>(at.paragraph) + 1,
                std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        }
    } else {
        for (Anchor& a : para.anchors) {
            if (a.offset > o) a.offset += head_len;
        }
    }
    restart_from(at.block);
    const auto length = static_cast<std::int32_t>(text.size());
    shift_ranges(position, length, actor);
    return length;
}

/* ---------------------------------------------------------------- text removal helpers */
namespace {

void erase_text(Paragraph& p, std::int32_t from, std::int32_t to, std::vector<Anchor>& dropped) {
    from = std::clamp(from, 0, static_cast<std::int32_t>(p.text.size()));
    to = std::clamp(to, from, static_cast<std::int32_t>(p.text.size()));
    if (from == to) return;
    p.text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    erase_runs(p.runs, from, to);
    for (auto it = p.anchors.begin(); it != p.anchors.end();) {
        if (it->offset >= from && it->offset < to) {
            dropped.push_back(*it);
            it = p.anchors.erase(it);
        } else {
            if (it->offset >= to) it->offset -= to - from;
            ++it;
        }
    }
}

void collect_anchors(Paragraph& p, std::vector<Anchor>& dropped) {
    dropped.insert(dropped.end(), p.anchors.begin(), p.anchors.end());
    p.anchors.clear();
}

void collect_anchors(Block& b, std::vector<Anchor>& dropped) {
    if (!b.table) return collect_anchors(b.paragraph, dropped);
    for (RowData& row : b.table->rows) {
        for (CellData& cell : row.cells) {
            for (Paragraph& p : cell.paragraphs) collect_anchors(p, dropped);
        }
    }
}

// Clears [start, end) inside a table: whole rows go, elsewhere only cell text.
void clear_table_span(Block& b, std::int32_t start, std::int32_t end,
                      std::vector<Anchor>& dropped) {
    std::int32_t pos = b.start;
    auto& rows = b.table->rows;
    for (auto row = rows.begin(); row != rows.end();) {
        const std::int32_t row_len = row->length();
        if (start <= pos && pos + row_len <= end) {
            for (CellData& cell : row->cells) {
                for (Paragraph& p : cell.paragraphs) collect_anchors(p, dropped);
            }
            row = rows.erase(row);
            end -= row_len;
            continue;
        }
        for (CellData& cell : row->cells) {
            for (Paragraph& p : cell.paragraphs) {
                const std::int32_t text_end = pos + static_cast<std::int32_t>(p.text.size());
                const std::int32_t from = std::max(start, pos);
                const std::int32_t to = std::min(end, text_end);
                if (from < to) {
                    erase_text(p, from - pos, to - pos, dropped);
                    end -= to - from;
                }
                pos += p.length();
            }
        }
        pos += 1;
        ++row;
    }
}

}  // namespace

/* ---------------------------------------------------------------- DocState::remove */
std::int32_t DocState::remove(std::int32_t start, std::int32_t end, const RangeState* actor) {
    if (start < settled_end && start <= 0 && end >= content_end()) {
        // The whole document goes, the settled body with it.
        const std::int32_t dropped = settled_end;
        drop_settled();
        shift_ranges(0, -dropped, actor);
        return dropped + remove(0, end - dropped, actor);
    }
    const std::int32_t before = content_end();
    const bool whole_tail = end >= before;
    end = std::min(end, before - 1);
    if (start >= end && !whole_tail) return 0;
    std::vector<Anchor> dropped;
    std::size_t first_changed = 0;
    if (start < end) {
        const Location ls = locate(start);
        const Location le = locate(end);
        first_changed = ls.block;
        std::vector<std::size_t> gone;
        if (ls.block == le.block) {
            Block& b = blocks[ls.block];
            if (!b.table) {
                erase_text(b.paragraph, ls.offset, le.offset, dropped);
            } else {
                clear_table_span(b, start, end, dropped);
                if (b.table->rows.empty()) gone.push_back(ls.block);
            }
        } else {
            Block& tail = blocks[le.block];
            if (!tail.table) {
                erase_text(tail.paragraph, 0, le.offset, dropped);
            } else {
                clear_table_span(tail, tail.start, end, dropped);
                if (tail.table->rows.empty()) gone.push_back(le.block);
            }
            for (std::size_t i = le.block - 1; i > ls.block; --i) {
                collect_anchors(blocks[i], dropped);
                gone.push_back(i);
            }
            Block& head = blocks[ls.block];
            if (!head.table && !tail.table) {
                // The head's mark goes: what is left of it joins the tail paragraph.
                Paragraph& h = head.paragraph;
                erase_text(h, ls.offset, static_cast<std::int32_t>(h.text.size()), dropped);
                Paragraph& t = tail.paragraph;
                const auto shift = static_cast<std::int32_t>(h.text.size());
                for (Anchor& a : t.anchors) a.offset += shift;
                t.anchors.insert(t.anchors.begin(), h.anchors.begin(), h.anchors.end());
                t.text.insert(0, h.text);
                std::vector<Run> runs = h.runs;
                runs.insert(runs.end(), t.runs.begin(), t.runs.end());
                t.runs = std::move(runs);
                normalize_runs(t.runs);
                if (shift > 0) t.para_format = h.para_format;
                gone.push_back(ls.block);
            } else if (!head.table) {
                erase_text(head.paragraph, ls.offset,
                           static_cast<std::int32_t>(head.paragraph.text.size()), dropped);
            } else {
                clear_table_span(head, start, head.start + head.length(), dropped);
                if (head.table->rows.empty()) gone.push_back(ls.block);
            }
        }
        std::sort(gone.begin(), gone.end(), std::greater<>());
        for (std::size_t i : gone) {
            if (blocks[i].table) blocks[i].table->doc = nullptr;
            blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    if (whole_tail) collect_anchors(blocks.back(), dropped);
    delete_shapes(dropped);
    restart_from(std::min(first_changed, blocks.size() - 1));
    const std::int32_t removed = before - content_end();
    if (removed > 0) shift_ranges(start, -removed, actor);
    return removed;
}

/* ---------------------------------------------------------------- delete_shapes */
void DocState::delete_shapes(const std::vector<Anchor>& anchors) {
    if (anchors.empty()) return;
    for (const Anchor& a : anchors) a.shape->doc = nullptr;
    std::erase_if(shapes, [](const auto& s) { return s->doc == nullptr; });
}

/* ---------------------------------------------------------------- DocState::apply_char */
void DocState::apply_char(std::int32_t start, std::int32_t end, const CharChange& change) {
    const auto changed = [&](std::uint32_t id) {
        CharFormat f = char_formats[id];
        change(f);
        return char_formats.intern(f);
    };
    for_each_paragraph(start, end, [&](Paragraph& p, std::int32_t ps) {
        const auto text_len = static_cast<std::int32_t>(p.text.size());
        const std::int32_t from = std::clamp(start - ps, 0, text_len);
        const std::int32_t to = std::clamp(end - ps, 0, text_len);
        if (from < to) map_runs(p.runs, from, to, changed);
        if (start <= ps + text_len && ps + text_len < end) p.mark_format = changed(p.mark_format);
    });
}

/* ---------------------------------------------------------------- DocState::apply_para */
void DocState::apply_para(std::int32_t start, std::int32_t end, const ParaChange& change) {
    for_each_paragraph(start, end, [&](Paragraph& p, std::int32_t) {
        ParaFormat f = para_formats[p.para_format];
        change(f);
        p.para_format = para_formats.intern(f);
    });
}

/* ---------------------------------------------------------------- DocState::apply_style */
// As in Word: the paragraph loses its own paragraph formatting, and character formatting
// that covers half the paragraph or more gives way to the style's.
void DocState::apply_style(std::int32_t start, std::int32_t end, int style) {
    ParaFormat plain;
    plain.style = style;
    const std::uint32_t plain_para = para_formats.intern(plain);
    const std::uint32_t plain_char = char_formats.intern(CharFormat{});
    for_each_paragraph(start, end, [&](Paragraph& p, std::int32_t) {
        p.para_format = plain_para;
        const auto total = static_cast<std::int32_t>(p.text.size());
        std::vector<std::pair<std::uint32_t, std::int32_t>> coverage;
        for (const Run& r : p.runs) {
            auto it = std::find_if(coverage.begin(), coverage.end(),
                                   [&](const auto& c) { return c.first == r.format; });
            if (it == coverage.end()) {
                coverage.emplace_back(r.format, r.length);
            } else {
                it->second += r.length;
            }
        }
        for (Run& r : p.runs) {
            const auto it = std::find_if(coverage.begin(), coverage.end(),
                                         [&](const auto& c) { return c.first == r.format; });
            if (2 * it->second >= total) r.format = plain_char;
        }
        normalize_runs(p.runs);
        p.mark_format = plain_char;
    });
}

/* ---------------------------------------------------------------- live ranges */
std::shared_ptr<RangeState> DocState::make_range(std::int32_t start, std::int32_t end,
                                                 const std::shared_ptr<DocState>& self) {
    auto state = std::make_shared<RangeState>();
    state->doc = self;
    const std::int32_t limit = content_end();
    state->start = std::clamp(start, 0, limit);
    state->end = std::clamp(end, state->start, limit);
    if (ranges.size() > 2 * ranges_at_last_sweep + 16) {
        std::erase_if(ranges, [](const auto& w) { return w.expired(); });
        ranges_at_last_sweep = ranges.size();
    }
    ranges.push_back(state);
    return state;
}

void DocState::shift_ranges(std::int32_t at, std::int32_t delta, const RangeState* actor) {
    for (const auto& weak : ranges) {
        const auto r = weak.lock();
        if (!r || r.get() == actor) continue;
        if (delta > 0) {
            const bool collapsed_here = r->start == at && r->end == at;
            if (r->end > at || collapsed_here) r->end += delta;
            if (r->start >= at) r->start += delta;
        } else {
            const auto moved = [&](std::int32_t pos) {
                return pos <= at ? pos : std::max(at, pos + delta);
            };
            r->start = moved(r->start);
            r->end = moved(r->end);
        }
    }
}

}  // namespace word::detail
