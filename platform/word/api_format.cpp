// Font and ParagraphFormat over ranges, paragraph collections and styles.
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string>

#include "platform/word/handles.h"
#include "platform/word/word_errors.h"

namespace word {

using detail::CharFormat;
using detail::CharProp;
using detail::DocState;
using detail::FontSlot;
using detail::ParaFormat;
using detail::ParaProp;

namespace {

// The (format, paragraph style) pairs of a range's characters; at a collapsed range, the
// formatting text inserted there would get.
std::set<std::pair<std::uint32_t, int>> formats_of(DocState& doc, detail::RangeState& r) {
    std::set<std::pair<std::uint32_t, int>> out;
    if (r.start == r.end) {
        const std::int32_t at = doc.clamp_insertion(r.start);
        const detail::Location loc = doc.locate(at);
        const detail::Paragraph& p = doc.paragraph_at(loc);
        std::uint32_t id = loc.offset > 0 ? p.format_at(loc.offset - 1) : p.format_at(0);
        if (!r.pending.empty()) {
            CharFormat f = doc.char_formats[id];
            for (const auto& change : r.pending) change(f);
            id = doc.char_formats.intern(f);
        }
        out.emplace(id, doc.para_formats[p.para_format].style);
        return out;
    }
    doc.for_each_paragraph(r.start, r.end, [&](detail::Paragraph& p, std::int32_t ps) {
        const int style = doc.para_formats[p.para_format].style;
        const auto text_len = static_cast<std::int32_t>(p.text.size());
        const std::int32_t from = std::clamp(r.start - ps, 0, text_len);
        const std::int32_t to = std::clamp(r.end - ps, 0, text_len);
        std::int32_t pos = 0;
        for (const detail::Run& run : p.runs) {
            if (pos < to && pos + run.length > from) out.emplace(run.format, style);
            pos += run.length;
        }
        if (r.start <= ps + text_len && ps + text_len < r.end) out.emplace(p.mark_format, style);
    });
    return out;
}

template <class T, class Get>
std::optional<T> uniform(const std::set<std::pair<std::uint32_t, int>>& formats, Get get) {
    std::optional<T> value;
    for (const auto& [id, style] : formats) {
        const T v = get(id, style);
        if (value && *value != v) return std::nullopt;
        value = v;
    }
    return value;
}

std::int32_t style_char_value(const detail::StyleState& s, CharProp p) {
    for (const detail::StyleState* st = &s; st;) {
        if (const auto& v = st->font[p]) return *v;
        st = st->base >= 0 ? st->doc->styles[static_cast<std::size_t>(st->base)].get() : nullptr;
    }
    return *detail::default_char_format()[p];
}

std::string style_font_value(const detail::StyleState& s, FontSlot slot) {
    for (const detail::StyleState* st = &s; st;) {
        if (const auto& v = st->font[slot]) return *v;
        st = st->base >= 0 ? st->doc->styles[static_cast<std::size_t>(st->base)].get() : nullptr;
    }
    return *detail::default_char_format()[slot];
}

std::int32_t style_para_value(const detail::StyleState& s, ParaProp p) {
    for (const detail::StyleState* st = &s; st;) {
        if (const auto& v = st->paragraph[p]) return *v;
        st = st->base >= 0 ? st->doc->styles[static_cast<std::size_t>(st->base)].get() : nullptr;
    }
    return *detail::default_para_format()[p];
}

std::int32_t checked_half_points(float points, float limit, const char* what) {
    if (!std::isfinite(points) || std::fabs(points) > limit) {
        detail::throw_out_of_range(std::string(what) + " " + std::to_string(points));
    }
    return static_cast<std::int32_t>(std::lround(static_cast<double>(points) * 2.0));
}

// Word gives a Japanese font to the Japanese characters as well; a Latin font leaves them
// their own. Without the font files, a Japanese name or a Japanese font's English name tells.
bool is_far_east_font(std::string_view name) {
    if (std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; })) return true;
    static constexpr std::string_view japanese[] = {
        "MS Mincho", "MS PMincho", "MS Gothic", "MS PGothic", "MS UI Gothic", "Meiryo", "Yu Mincho",
        "Yu Gothic", "IPAMincho",  "IPAGothic", "HG"};
    return std::any_of(std::begin(japanese), std::end(japanese),
                       [&](std::string_view j) { return name.starts_with(j); });
}

}  // namespace

/* ---------------------------------------------------------------- Font plumbing */
namespace {

// The open document of a style target; a RunTimeError once it is gone.
void check_style(const detail::StyleState& s) {
    if (s.doc == nullptr) detail::throw_invalid("the style's document is closed");
    s.doc->check_open();
}

void change_font(const detail::FontTarget& t, const detail::CharChange& change) {
    if (t.style) {
        check_style(*t.style);
        change(t.style->font);
        return;
    }
    DocState& doc = detail::doc_of(*t.range);
    if (t.range->start == t.range->end) {
        t.range->pending.push_back(change);
    } else {
        doc.apply_char(t.range->start, t.range->end, change);
    }
}

std::int32_t read_prop(const detail::FontTarget& t, CharProp p) {
    if (t.style) {
        check_style(*t.style);
        return style_char_value(*t.style, p);
    }
    DocState& doc = detail::doc_of(*t.range);
    const auto v = uniform<std::int32_t>(formats_of(doc, *t.range), [&](std::uint32_t id, int s) {
        return doc.char_value(id, s, p);
    });
    return v.value_or(wdUndefined);
}

std::string read_font(const detail::FontTarget& t, FontSlot slot) {
    if (t.style) {
        check_style(*t.style);
        return style_font_value(*t.style, slot);
    }
    DocState& doc = detail::doc_of(*t.range);
    return uniform<std::string>(
               formats_of(doc, *t.range),
               [&](std::uint32_t id, int s) { return doc.font_value(id, s, slot); })
        .value_or(std::string());
}

void set_prop(const detail::FontTarget& t, CharProp p, std::int32_t value) {
    change_font(t, [p, value](CharFormat& f) { f[p] = value; });
}

void set_switch(const detail::FontTarget& t, CharProp p, bool on) {
    set_prop(t, p, on ? 1 : 0);
}
bool read_switch(const detail::FontTarget& t, CharProp p) {
    return read_prop(t, p) == 1;
}

void set_font(const detail::FontTarget& t, std::initializer_list<FontSlot> slots,
              std::string_view n) {
    const std::string name(n);
    change_font(t, [slots, name](CharFormat& f) {
        for (FontSlot s : slots) f[s] = name;
    });
}

}  // namespace

Font::Font(std::shared_ptr<detail::FontTarget> target) : target_(std::move(target)) {}

std::string Font::Name() const {
    return read_font(*target_, FontSlot::ascii);
}
void Font::Name(std::string_view n) {
    if (is_far_east_font(n)) {
        set_font(*target_, {FontSlot::ascii, FontSlot::other, FontSlot::far_east, FontSlot::bidi},
                 n);
    } else {
        set_font(*target_, {FontSlot::ascii, FontSlot::other, FontSlot::bidi}, n);
    }
}
std::string Font::NameAscii() const {
    return read_font(*target_, FontSlot::ascii);
}
void Font::NameAscii(std::string_view n) {
    set_font(*target_, {FontSlot::ascii}, n);
}
std::string Font::NameOther() const {
    return read_font(*target_, FontSlot::other);
}
void Font::NameOther(std::string_view n) {
    set_font(*target_, {FontSlot::other}, n);
}
std::string Font::NameFarEast() const {
    return read_font(*target_, FontSlot::far_east);
}
void Font::NameFarEast(std::string_view n) {
    set_font(*target_, {FontSlot::far_east}, n);
}

float Font::Size() const {
    const std::int32_t v = read_prop(*target_, CharProp::size);
    return v == wdUndefined ? static_cast<float>(wdUndefined) : static_cast<float>(v) / 2.0f;
}
void Font::Size(float points) {
    set_prop(*target_, CharProp::size, detail::size_to_half_points(points));
}

std::int32_t Font::Color() const {
    return read_prop(*target_, CharProp::color);
}
void Font::Color(std::int32_t color) {
    set_prop(*target_, CharProp::color, color);
}

float Font::Spacing() const {
    const std::int32_t v = read_prop(*target_, CharProp::spacing);
    return v == wdUndefined ? static_cast<float>(wdUndefined) : static_cast<float>(v) / 20.0f;
}
void Font::Spacing(float points) {
    if (!std::isfinite(points) || std::fabs(points) > 1584.0f) {
        detail::throw_out_of_range("Font.Spacing " + std::to_string(points));
    }
    set_prop(*target_, CharProp::spacing, detail::points_to_twips(points));
}

int Font::Position() const {
    const std::int32_t v = read_prop(*target_, CharProp::position);
    return v == wdUndefined ? wdUndefined : v / 2;
}
void Font::Position(int points) {
    set_prop(*target_, CharProp::position,
             checked_half_points(static_cast<float>(points), 1584.0f, "Font.Position"));
}

bool Font::Superscript() const {
    return read_prop(*target_, CharProp::vert_align) == detail::superscript;
}
void Font::Superscript(bool on) {
    change_font(*target_, [on](CharFormat& f) {
        if (on) {
            f[CharProp::vert_align] = detail::superscript;
        } else if (f[CharProp::vert_align] != detail::subscript) {
            f[CharProp::vert_align] = detail::baseline;
        }
    });
}
bool Font::Subscript() const {
    return read_prop(*target_, CharProp::vert_align) == detail::subscript;
}
void Font::Subscript(bool on) {
    change_font(*target_, [on](CharFormat& f) {
        if (on) {
            f[CharProp::vert_align] = detail::subscript;
        } else if (f[CharProp::vert_align] != detail::superscript) {
            f[CharProp::vert_align] = detail::baseline;
        }
    });
}

bool Font::Bold() const {
    return read_switch(*target_, CharProp::bold);
}
void Font::Bold(bool on) {
    set_switch(*target_, CharProp::bold, on);
}
bool Font::Italic() const {
    return read_switch(*target_, CharProp::italic);
}
void Font::Italic(bool on) {
    set_switch(*target_, CharProp::italic, on);
}
int Font::Underline() const {
    return read_prop(*target_, CharProp::underline);
}
void Font::Underline(int kind) {
    set_prop(*target_, CharProp::underline, kind);
}
std::int32_t Font::UnderlineColor() const {
    return read_prop(*target_, CharProp::underline_color);
}
void Font::UnderlineColor(std::int32_t color) {
    set_prop(*target_, CharProp::underline_color, color);
}
bool Font::StrikeThrough() const {
    return read_switch(*target_, CharProp::strike);
}
void Font::StrikeThrough(bool on) {
    set_switch(*target_, CharProp::strike, on);
}
bool Font::DoubleStrikeThrough() const {
    return read_switch(*target_, CharProp::double_strike);
}
void Font::DoubleStrikeThrough(bool on) {
    set_switch(*target_, CharProp::double_strike, on);
}
bool Font::Outline() const {
    return read_switch(*target_, CharProp::outline);
}
void Font::Outline(bool on) {
    set_switch(*target_, CharProp::outline, on);
}
bool Font::Emboss() const {
    return read_switch(*target_, CharProp::emboss);
}
void Font::Emboss(bool on) {
    set_switch(*target_, CharProp::emboss, on);
}
bool Font::Engrave() const {
    return read_switch(*target_, CharProp::engrave);
}
void Font::Engrave(bool on) {
    set_switch(*target_, CharProp::engrave, on);
}
bool Font::Shadow() const {
    return read_switch(*target_, CharProp::shadow);
}
void Font::Shadow(bool on) {
    set_switch(*target_, CharProp::shadow, on);
}
bool Font::Hidden() const {
    return read_switch(*target_, CharProp::hidden);
}
void Font::Hidden(bool on) {
    set_switch(*target_, CharProp::hidden, on);
}
bool Font::SmallCaps() const {
    return read_switch(*target_, CharProp::small_caps);
}
void Font::SmallCaps(bool on) {
    set_switch(*target_, CharProp::small_caps, on);
}
bool Font::AllCaps() const {
    return read_switch(*target_, CharProp::all_caps);
}
void Font::AllCaps(bool on) {
    set_switch(*target_, CharProp::all_caps, on);
}
int Font::Scaling() const {
    return read_prop(*target_, CharProp::scaling);
}
void Font::Scaling(int percent) {
    if (percent < 1 || percent > 600) {
        detail::throw_out_of_range("Font.Scaling " + std::to_string(percent));
    }
    set_prop(*target_, CharProp::scaling, percent);
}
float Font::Kerning() const {
    const std::int32_t v = read_prop(*target_, CharProp::kerning);
    return v == wdUndefined ? static_cast<float>(wdUndefined) : static_cast<float>(v) / 2.0f;
}
void Font::Kerning(float points) {
    set_prop(*target_, CharProp::kerning, checked_half_points(points, 1638.0f, "Font.Kerning"));
}
int Font::Animation() const {
    return read_prop(*target_, CharProp::animation);
}
void Font::Animation(int kind) {
    set_prop(*target_, CharProp::animation, kind);
}
bool Font::DisableCharacterSpaceGrid() const {
    return read_switch(*target_, CharProp::no_grid);
}
void Font::DisableCharacterSpaceGrid(bool on) {
    set_switch(*target_, CharProp::no_grid, on);
}
int Font::EmphasisMark() const {
    return read_prop(*target_, CharProp::emphasis);
}
void Font::EmphasisMark(int kind) {
    set_prop(*target_, CharProp::emphasis, kind);
}

/* ---------------------------------------------------------------- ParagraphFormat plumbing */
namespace {

void change_para(const detail::ParagraphFormatTarget& t, const detail::ParaChange& change) {
    if (t.style) {
        check_style(*t.style);
        change(t.style->paragraph);
        return;
    }
    DocState& doc = detail::doc_of(*t.range);
    doc.apply_para(t.range->start, t.range->end, change);
}

std::int32_t read_para(const detail::ParagraphFormatTarget& t, ParaProp p) {
    if (t.style) {
        check_style(*t.style);
        return style_para_value(*t.style, p);
    }
    DocState& doc = detail::doc_of(*t.range);
    std::optional<std::int32_t> value;
    bool mixed = false;
    doc.for_each_paragraph(t.range->start, t.range->end,
                           [&](detail::Paragraph& para, std::int32_t) {
                               const std::int32_t v = doc.para_value(para.para_format, p);
                               if (value && *value != v) mixed = true;
                               value = v;
                           });
    return mixed || !value ? wdUndefined : *value;
}

void set_para(const detail::ParagraphFormatTarget& t, ParaProp p, std::int32_t value) {
    change_para(t, [p, value](ParaFormat& f) { f[p] = value; });
}

}  // namespace

ParagraphFormat::ParagraphFormat(std::shared_ptr<detail::ParagraphFormatTarget> target)
    : target_(std::move(target)) {}

int ParagraphFormat::LineSpacingRule() const {
    return read_para(*target_, ParaProp::line_rule);
}
void ParagraphFormat::LineSpacingRule(int rule) {
    if (rule < wdLineSpaceSingle || rule > wdLineSpaceMultiple) {
        detail::throw_out_of_range("LineSpacingRule " + std::to_string(rule));
    }
    change_para(*target_, [rule](ParaFormat& f) {
        f[ParaProp::line_rule] = rule;
        // The three fixed multiples carry their own spacing, as Word reports it.
        if (rule <= wdLineSpaceDouble) f[ParaProp::line] = 240 + 120 * rule;
    });
}

float ParagraphFormat::LineSpacing() const {
    const std::int32_t v = read_para(*target_, ParaProp::line);
    return v == wdUndefined ? static_cast<float>(wdUndefined) : static_cast<float>(v) / 20.0f;
}
void ParagraphFormat::LineSpacing(float points) {
    if (!(points > 0.0f && points <= 1584.0f)) {
        detail::throw_out_of_range("LineSpacing " + std::to_string(points));
    }
    set_para(*target_, ParaProp::line, detail::points_to_twips(points));
}

int ParagraphFormat::Alignment() const {
    return read_para(*target_, ParaProp::alignment);
}
void ParagraphFormat::Alignment(int alignment) {
    if (alignment < wdAlignParagraphLeft || alignment > 4) {
        detail::throw_out_of_range("Alignment " + std::to_string(alignment));
    }
    set_para(*target_, ParaProp::alignment, alignment);
}

float ParagraphFormat::LeftIndent() const {
    const std::int32_t v = read_para(*target_, ParaProp::left_indent);
    return v == wdUndefined ? static_cast<float>(wdUndefined) : static_cast<float>(v) / 20.0f;
}
void ParagraphFormat::LeftIndent(float points) {
    const std::int32_t twips = detail::points_to_twips(points);
    change_para(*target_, [twips](ParaFormat& f) {
        f[ParaProp::left_indent] = twips;
        f[ParaProp::left_chars] = 0;
    });
}

float ParagraphFormat::CharacterUnitLeftIndent() const {
    const std::int32_t v = read_para(*target_, ParaProp::left_chars);
    return v == wdUndefined ? static_cast<float>(wdUndefined) : static_cast<float>(v) / 100.0f;
}
void ParagraphFormat::CharacterUnitLeftIndent(float characters) {
    if (!std::isfinite(characters) || std::fabs(characters) > 1000.0f) {
        detail::throw_out_of_range("CharacterUnitLeftIndent " + std::to_string(characters));
    }
    set_para(*target_, ParaProp::left_chars,
             static_cast<std::int32_t>(std::lround(static_cast<double>(characters) * 100.0)));
}

bool ParagraphFormat::WordWrap() const {
    return read_para(*target_, ParaProp::word_wrap) == 1;
}
void ParagraphFormat::WordWrap(bool on) {
    set_para(*target_, ParaProp::word_wrap, on ? 1 : 0);
}
bool ParagraphFormat::AddSpaceBetweenFarEastAndDigit() const {
    return read_para(*target_, ParaProp::auto_space_digit) == 1;
}
void ParagraphFormat::AddSpaceBetweenFarEastAndDigit(bool on) {
    set_para(*target_, ParaProp::auto_space_digit, on ? 1 : 0);
}
bool ParagraphFormat::AddSpaceBetweenFarEastAndAlpha() const {
    return read_para(*target_, ParaProp::auto_space_alpha) == 1;
}
void ParagraphFormat::AddSpaceBetweenFarEastAndAlpha(bool on) {
    set_para(*target_, ParaProp::auto_space_alpha, on ? 1 : 0);
}

}  // namespace word
