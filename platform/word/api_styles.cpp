// The built-in paragraph styles, Styles, Style and applying a style to a range.
#include <algorithm>
#include <string>

#include "platform/word/handles.h"
#include "platform/word/word_errors.h"

namespace word {

using detail::DocState;
using detail::StyleState;

namespace detail {

/* ---------------------------------------------------------------- add_builtin_styles */
// The normal style and headings 1 to 3 as a Japanese Word defines them.
void add_builtin_styles(DocState& doc) {
    const auto add = [&](int id, const char* local, const char* english, const char* docx_id,
                         const char* docx_name, int outline) {
        auto s = std::make_shared<StyleState>();
        s->doc = &doc;
        s->index = static_cast<int>(doc.styles.size());
        s->builtin_id = id;
        s->local_name = local;
        s->english_name = english;
        s->docx_id = docx_id;
        s->docx_name = docx_name;
        s->outline_level = outline;
        if (outline >= 0) {
            s->base = 0;
            s->font[FontSlot::ascii] = "Arial";
            s->font[FontSlot::other] = "Arial";
            s->font[FontSlot::far_east] = "ＭＳ ゴシック";
        }
        doc.styles.push_back(std::move(s));
        return doc.styles.back();
    };
    add(wdStyleNormal, "標準", "Normal", "Normal", "Normal", -1);
    add(wdStyleHeading1, "見出し 1", "Heading 1", "Heading1", "heading 1", 0)
        ->font[CharProp::size] = 24;
    add(wdStyleHeading2, "見出し 2", "Heading 2", "Heading2", "heading 2", 1);
    add(wdStyleHeading3, "見出し 3", "Heading 3", "Heading3", "heading 3", 2)
        ->paragraph[ParaProp::left_chars] = 400;
}

}  // namespace detail

namespace {

DocState& doc_of(const StyleState& s) {
    if (s.doc == nullptr) detail::throw_invalid("the style's document is closed");
    s.doc->check_open();
    return *s.doc;
}

int style_index(const DocState& doc, int builtin_id) {
    for (const auto& s : doc.styles) {
        if (s->builtin_id == builtin_id) return s->index;
    }
    detail::throw_no_member("Styles(" + std::to_string(builtin_id) + ")");
}

bool same_name(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        return lower(x) == lower(y);
    });
}

int style_index(const DocState& doc, std::string_view name) {
    for (const auto& s : doc.styles) {
        if (name == s->local_name || same_name(name, s->english_name)) return s->index;
    }
    detail::throw_no_member("Styles(\"" + std::string(name) + "\")");
}

// A base style may not lead back to the style itself.
void set_base(StyleState& s, int base) {
    for (int b = base; b >= 0; b = s.doc->styles[static_cast<std::size_t>(b)]->base) {
        if (b == s.index) detail::throw_invalid("BaseStyle would make a loop: " + s.local_name);
    }
    s.base = base;
}

}  // namespace

/* ---------------------------------------------------------------- Range::Style */
void Range::Style(int builtin_id) {
    DocState& doc = detail::doc_of(*state_);
    doc.apply_style(state_->start, state_->end, style_index(doc, builtin_id));
}

void Range::Style(std::string_view name) {
    DocState& doc = detail::doc_of(*state_);
    doc.apply_style(state_->start, state_->end, style_index(doc, name));
}

word::Style Range::Style() const {
    DocState& doc = detail::doc_of(*state_);
    const detail::Paragraph& p = doc.paragraph_at(doc.locate(state_->start));
    return word::Style(doc.styles[static_cast<std::size_t>(doc.para_formats[p.para_format].style)]);
}

/* ---------------------------------------------------------------- Styles */
Styles::Styles(std::shared_ptr<DocState> doc) : doc_(std::move(doc)) {}

std::int32_t Styles::Count() const {
    doc_->check_open();
    return static_cast<std::int32_t>(doc_->styles.size());
}

Style Styles::Item(int builtin_id) const {
    doc_->check_open();
    return Style(doc_->styles[static_cast<std::size_t>(style_index(*doc_, builtin_id))]);
}

Style Styles::Item(std::string_view name) const {
    doc_->check_open();
    return Style(doc_->styles[static_cast<std::size_t>(style_index(*doc_, name))]);
}

/* ---------------------------------------------------------------- Style */
Style::Style(std::shared_ptr<StyleState> state) : state_(std::move(state)) {}

std::string Style::NameLocal() const {
    doc_of(*state_);
    return state_->local_name;
}

bool Style::AutomaticallyUpdate() const {
    doc_of(*state_);
    return state_->automatically_update;
}
void Style::AutomaticallyUpdate(bool on) {
    doc_of(*state_);
    state_->automatically_update = on;
}

std::string Style::BaseStyle() const {
    const DocState& doc = doc_of(*state_);
    return state_->base < 0 ? std::string()
                            : doc.styles[static_cast<std::size_t>(state_->base)]->local_name;
}
void Style::BaseStyle(std::string_view name) {
    doc_of(*state_);
    set_base(*state_, name.empty() ? -1 : style_index(*state_->doc, name));
}
void Style::BaseStyle(int builtin_id) {
    doc_of(*state_);
    set_base(*state_, style_index(*state_->doc, builtin_id));
}

std::string Style::NextParagraphStyle() const {
    return doc_of(*state_).styles[static_cast<std::size_t>(state_->next)]->local_name;
}
void Style::NextParagraphStyle(std::string_view name) {
    doc_of(*state_);
    state_->next = style_index(*state_->doc, name);
}
void Style::NextParagraphStyle(int builtin_id) {
    doc_of(*state_);
    state_->next = style_index(*state_->doc, builtin_id);
}

word::ParagraphFormat Style::ParagraphFormat() const {
    return word::ParagraphFormat(std::make_shared<detail::ParagraphFormatTarget>(
        detail::ParagraphFormatTarget{nullptr, state_}));
}

word::Font Style::Font() const {
    return word::Font(std::make_shared<detail::FontTarget>(detail::FontTarget{nullptr, state_}));
}

}  // namespace word
