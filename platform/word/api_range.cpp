// Range, Paragraphs, Paragraph and Characters.
#include <algorithm>
#include <string>

#include "base/unicode.h"
#include "platform/word/handles.h"
#include "platform/word/word_errors.h"

namespace word {

using detail::DocState;
using detail::Location;
using detail::RangeState;

namespace detail {

DocState& doc_of(const RangeState& range) {
    range.doc->check_open();
    return *range.doc;
}

}  // namespace detail

namespace {

// Formatting waiting at a collapsed range stays while the range stands at the same insertion
// point (the content's end and the final mark are one such point).
void move_to(RangeState& r, std::int32_t start, std::int32_t end) {
    const DocState& doc = *r.doc;
    const bool same_point = r.start == r.end && start == end &&
                            doc.clamp_insertion(r.start) == doc.clamp_insertion(start);
    if (!same_point && (start != r.start || end != r.end)) r.pending.clear();
    r.start = start;
    r.end = end;
}

// Where InsertAfter puts text: at the end, but before a final, end-of-cell or end-of-row mark
// that ends the range.
std::int32_t insertion_point_after(const DocState& doc, const RangeState& r) {
    if (r.end >= doc.content_end()) return doc.content_end() - 1;
    if (r.end > r.start) {
        const Location at = doc.locate(r.end - 1);
        if (doc.blocks[at.block].table) {
            if (at.cell < 0) return r.end - 1;
            const auto& cell = doc.blocks[at.block]
                                   .table->rows[static_cast<std::size_t>(at.row)]
                                   .cells[static_cast<std::size_t>(at.cell)];
            const bool cell_mark = at.paragraph + 1 == cell.paragraphs.size() &&
                                   at.offset == cell.paragraphs[at.paragraph].length() - 1;
            if (cell_mark) return r.end - 1;
        }
    }
    return r.end;
}

std::u16string text_between(DocState& doc, std::int32_t start, std::int32_t end) {
    std::u16string out;
    if (start >= end) return out;
    std::int32_t pos = 0;
    const auto take = [&](std::u16string_view piece, std::int32_t piece_start) {
        const std::int32_t from = std::max(start, piece_start) - piece_start;
        const std::int32_t to =
            std::min(end, piece_start + static_cast<std::int32_t>(piece.size())) - piece_start;
        if (from < to) {
            out.append(
                piece.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
        }
    };
    for (std::size_t b = doc.locate(start).block; b < doc.blocks.size(); ++b) {
        const detail::Block& block = doc.blocks[b];
        if (block.start >= end) break;
        if (!block.table) {
            take(block.paragraph.text + u'\r', block.start);
            continue;
        }
        pos = block.start;
        for (const auto& row : block.table->rows) {
            for (const auto& cell : row.cells) {
                for (std::size_t k = 0; k < cell.paragraphs.size(); ++k) {
                    const auto& p = cell.paragraphs[k];
                    take(p.text, pos);
                    const std::int32_t mark = pos + static_cast<std::int32_t>(p.text.size());
                    if (mark >= start && mark < end) {
                        out += k + 1 == cell.paragraphs.size() ? u"\r\a" : u"\r";
                    }
                    pos += p.length();
                }
            }
            if (pos >= start && pos < end) out += u"\r\a";
            ++pos;
        }
    }
    return out;
}

}  // namespace

Range::Range(std::shared_ptr<RangeState> state) : state_(std::move(state)) {}

/* ---------------------------------------------------------------- Range positions */
std::int32_t Range::Start() const {
    detail::doc_of(*state_);
    return state_->start;
}

std::int32_t Range::End() const {
    detail::doc_of(*state_);
    return state_->end;
}

void Range::Start(std::int32_t position) {
    const DocState& doc = detail::doc_of(*state_);
    const std::int32_t start = std::clamp(position, 0, doc.content_end());
    move_to(*state_, start, std::max(start, state_->end));
}

void Range::End(std::int32_t position) {
    const DocState& doc = detail::doc_of(*state_);
    const std::int32_t end = std::clamp(position, 0, doc.content_end());
    move_to(*state_, std::min(state_->start, end), end);
}

void Range::SetRange(std::int32_t start, std::int32_t end) {
    const DocState& doc = detail::doc_of(*state_);
    const std::int32_t s = std::clamp(start, 0, doc.content_end());
    const std::int32_t e = std::clamp(end, s, doc.content_end());
    move_to(*state_, s, e);
}

void Range::Collapse(int direction) {
    const DocState& doc = detail::doc_of(*state_);
    std::int32_t at = direction == wdCollapseEnd ? state_->end : state_->start;
    at = std::min(at, doc.content_end() - 1);
    move_to(*state_, at, at);
}

Range Range::Duplicate() const {
    DocState& doc = detail::doc_of(*state_);
    auto copy = doc.make_range(state_->start, state_->end, state_->doc);
    copy->pending = state_->pending;
    return Range(copy);
}

/* ---------------------------------------------------------------- Range text */
void Range::InsertAfter(std::string_view utf8_text) {
    DocState& doc = detail::doc_of(*state_);
    const std::u16string text = detail::document_text(utf8_text);
    if (text.empty()) return;
    const std::int32_t at = insertion_point_after(doc, *state_);
    const std::int32_t n = doc.insert_text(at, text, state_->pending, state_.get());
    if (state_->start == state_->end) {
        state_->start = at;
        state_->end = at + n;
    } else {
        state_->end += n;
    }
    state_->pending.clear();
}

void Range::InsertBefore(std::string_view utf8_text) {
    DocState& doc = detail::doc_of(*state_);
    const std::u16string text = detail::document_text(utf8_text);
    if (text.empty()) return;
    const std::int32_t at = doc.clamp_insertion(state_->start);
    const std::int32_t n = doc.insert_text(at, text, state_->pending, state_.get());
    state_->start = at;
    state_->end = std::max(state_->end, at) + n;
    state_->pending.clear();
}

std::string Range::Text() const {
    DocState& doc = detail::doc_of(*state_);
    return unicode::utf16_to_utf8(text_between(doc, state_->start, state_->end));
}

void Range::Text(std::string_view utf8_text) {
    DocState& doc = detail::doc_of(*state_);
    doc.remove(state_->start, state_->end, state_.get());
    move_to(*state_, state_->start, state_->start);
    InsertAfter(utf8_text);
}

std::int32_t Range::Delete() {
    DocState& doc = detail::doc_of(*state_);
    const std::int32_t end = state_->start == state_->end ? state_->end + 1 : state_->end;
    const std::int32_t n = doc.remove(state_->start, end, state_.get());
    const std::int32_t at = std::min(state_->start, doc.content_end() - 1);
    move_to(*state_, at, at);
    return n;
}

void Range::InsertBreak(int type) {
    DocState& doc = detail::doc_of(*state_);
    char16_t mark = 0;
    if (type == wdPageBreak) {
        mark = 12;
    } else if (type == wdLineBreak) {
        mark = 11;
    } else {
        detail::throw_out_of_range("InsertBreak " + std::to_string(type));
    }
    if (state_->start < state_->end) doc.remove(state_->start, state_->end, state_.get());
    const std::int32_t at = doc.clamp_insertion(state_->start);
    doc.insert_text(at, std::u16string(1, mark), state_->pending, state_.get());
    move_to(*state_, at + 1, at + 1);
}

/* ---------------------------------------------------------------- Range formatting */
word::Font Range::Font() const {
    detail::doc_of(*state_);
    return word::Font(std::make_shared<detail::FontTarget>(detail::FontTarget{state_, nullptr}));
}

word::ParagraphFormat Range::ParagraphFormat() const {
    detail::doc_of(*state_);
    return word::ParagraphFormat(std::make_shared<detail::ParagraphFormatTarget>(
        detail::ParagraphFormatTarget{state_, nullptr}));
}

word::Paragraphs Range::Paragraphs() const {
    detail::doc_of(*state_);
    return word::Paragraphs(*this);
}

word::Characters Range::Characters() const {
    detail::doc_of(*state_);
    return word::Characters(*this);
}

word::Cells Range::Cells() const {
    detail::doc_of(*state_);
    return word::Cells(*this);
}

word::Tables Range::Tables() const {
    detail::doc_of(*state_);
    return word::Tables(*this);
}

/* ---------------------------------------------------------------- clipboard */
void Range::Copy() {
    DocState& doc = detail::doc_of(*state_);
    if (state_->start == state_->end) detail::throw_invalid("Copy of an empty range");
    doc.app->clipboard = std::make_unique<detail::Fragment>(doc.copy(state_->start, state_->end));
}

void Range::Cut() {
    Copy();
    DocState& doc = *state_->doc;
    doc.remove(state_->start, state_->end, state_.get());
    const std::int32_t at = std::min(state_->start, doc.content_end() - 1);
    move_to(*state_, at, at);
}

void Range::Paste() {
    DocState& doc = detail::doc_of(*state_);
    if (!doc.app->clipboard) detail::throw_invalid("Paste with an empty clipboard");
    if (state_->start < state_->end) doc.remove(state_->start, state_->end, state_.get());
    const auto [first, last] = doc.paste(state_->start, *doc.app->clipboard, state_.get());
    move_to(*state_, first, last);
}

/* ---------------------------------------------------------------- Paragraphs */
Paragraphs::Paragraphs(word::Range range) : range_(std::move(range)) {}

std::int32_t Paragraphs::Count() const {
    DocState& doc = detail::doc_of(*range_.state_);
    std::int32_t n = 0;
    doc.for_each_paragraph(range_.state_->start, range_.state_->end,
                           [&](detail::Paragraph&, std::int32_t) { ++n; });
    return n;
}

Paragraph Paragraphs::Item(std::int32_t index) const {
    DocState& doc = detail::doc_of(*range_.state_);
    std::int32_t n = 0;
    std::int32_t start = -1;
    std::int32_t length = 0;
    doc.for_each_paragraph(range_.state_->start, range_.state_->end,
                           [&](detail::Paragraph& p, std::int32_t ps) {
                               if (++n == index) start = ps, length = p.length();
                           });
    if (start < 0) detail::throw_no_member("Paragraphs(" + std::to_string(index) + ")");
    return Paragraph(word::Range(doc.make_range(start, start + length, range_.state_->doc)));
}

word::ParagraphFormat Paragraphs::Format() const {
    return range_.ParagraphFormat();
}
void Paragraphs::LineSpacingRule(int rule) {
    Format().LineSpacingRule(rule);
}
void Paragraphs::LineSpacing(float points) {
    Format().LineSpacing(points);
}
void Paragraphs::Alignment(int alignment) {
    Format().Alignment(alignment);
}
void Paragraphs::LeftIndent(float points) {
    Format().LeftIndent(points);
}
void Paragraphs::CharacterUnitLeftIndent(float c) {
    Format().CharacterUnitLeftIndent(c);
}
void Paragraphs::WordWrap(bool on) {
    Format().WordWrap(on);
}
void Paragraphs::AddSpaceBetweenFarEastAndDigit(bool on) {
    Format().AddSpaceBetweenFarEastAndDigit(on);
}
void Paragraphs::AddSpaceBetweenFarEastAndAlpha(bool on) {
    Format().AddSpaceBetweenFarEastAndAlpha(on);
}

Paragraph::Paragraph(word::Range range) : range_(std::move(range)) {}
word::Range Paragraph::Range() const {
    return range_;
}
word::ParagraphFormat Paragraph::Format() const {
    return range_.ParagraphFormat();
}

/* ---------------------------------------------------------------- Characters */
Characters::Characters(word::Range range) : range_(std::move(range)) {}

std::int32_t Characters::Count() const {
    return range_.End() - range_.Start();
}

word::Range Characters::Item(std::int32_t index) const {
    DocState& doc = detail::doc_of(*range_.state_);
    if (index < 1 || index > Count()) {
        detail::throw_no_member("Characters(" + std::to_string(index) + ")");
    }
    const std::int32_t at = range_.Start() + index - 1;
    return word::Range(doc.make_range(at, at + 1, range_.state_->doc));
}

}  // namespace word
