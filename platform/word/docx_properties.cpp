// Run and paragraph properties (w:rPr, w:pPr) from the model's formats.
#include <cstdio>
#include <string>

#include "platform/ooxml/xml_writer.h"
#include "platform/word/docx.h"

namespace word::detail {

namespace {

std::string color_value(std::int32_t color) {
    if (color == -16777216) return "auto";
    const auto c = static_cast<std::uint32_t>(color);
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return hex;
}

const char* underline_value(std::int32_t kind) {
    switch (kind) {
        case 0:
            return "none";
        case 2:
            return "words";
        case 3:
            return "double";
        case 4:
            return "dotted";
        case 6:
            return "thick";
        case 7:
            return "dash";
        case 9:
            return "dotDash";
        case 10:
            return "dotDotDash";
        case 11:
            return "wave";
        default:
            return "single";
    }
}

const char* effect_value(std::int32_t kind) {
    switch (kind) {
        case 1:
            return "lights";
        case 2:
            return "blinkBackground";
        case 3:
            return "sparkle";
        case 4:
            return "antsBlack";
        case 5:
            return "antsRed";
        case 6:
            return "shimmer";
        default:
            return "none";
    }
}

const char* emphasis_value(std::int32_t kind) {
    switch (kind) {
        case 1:
            return "dot";
        case 2:
            return "comma";
        case 3:
            return "circle";
        case 4:
            return "underDot";
        default:
            return "none";
    }
}

const char* alignment_value(std::int32_t a) {
    switch (a) {
        case 1:
            return "center";
        case 2:
            return "right";
        case 3:
            return "both";
        case 4:
            return "distribute";
        default:
            return "left";
    }
}

void on_off(ooxml::XmlWriter& w, const CharFormat& f, CharProp p, std::string_view name) {
    if (!f[p]) return;
    w.start(name);
    if (*f[p] == 0) w.attribute("w:val", "0");
    w.end();
}

void value(ooxml::XmlWriter& w, std::string_view name, std::string_view v) {
    w.empty(name, {{"w:val", v}});
}

void value(ooxml::XmlWriter& w, std::string_view name, std::int64_t v) {
    w.start(name);
    w.attribute("w:val", v);
    w.end();
}

}  // namespace

/* ---------------------------------------------------------------- run_properties */
std::string run_properties(const CharFormat& f) {
    ooxml::XmlWriter w;
    if (f[FontSlot::ascii] || f[FontSlot::other] || f[FontSlot::far_east] || f[FontSlot::bidi]) {
        w.start("w:rFonts");
        if (f[FontSlot::ascii]) w.attribute("w:ascii", *f[FontSlot::ascii]);
        if (f[FontSlot::far_east]) w.attribute("w:eastAsia", *f[FontSlot::far_east]);
        if (f[FontSlot::other]) w.attribute("w:hAnsi", *f[FontSlot::other]);
        if (f[FontSlot::bidi]) w.attribute("w:cs", *f[FontSlot::bidi]);
        w.end();
    }
    on_off(w, f, CharProp::bold, "w:b");
    on_off(w, f, CharProp::bold, "w:bCs");
    on_off(w, f, CharProp::italic, "w:i");
    on_off(w, f, CharProp::italic, "w:iCs");
    on_off(w, f, CharProp::all_caps, "w:caps");
    on_off(w, f, CharProp::small_caps, "w:smallCaps");
    on_off(w, f, CharProp::strike, "w:strike");
    on_off(w, f, CharProp::double_strike, "w:dstrike");
    on_off(w, f, CharProp::outline, "w:outline");
    on_off(w, f, CharProp::shadow, "w:shadow");
    on_off(w, f, CharProp::emboss, "w:emboss");
    on_off(w, f, CharProp::engrave, "w:imprint");
    if (f[CharProp::no_grid]) value(w, "w:snapToGrid", *f[CharProp::no_grid] ? "0" : "1");
    on_off(w, f, CharProp::hidden, "w:vanish");
    if (f[CharProp::color]) value(w, "w:color", color_value(*f[CharProp::color]));
    if (f[CharProp::spacing]) value(w, "w:spacing", *f[CharProp::spacing]);
    if (f[CharProp::scaling]) value(w, "w:w", *f[CharProp::scaling]);
    if (f[CharProp::kerning]) value(w, "w:kern", *f[CharProp::kerning]);
    if (f[CharProp::position]) value(w, "w:position", *f[CharProp::position]);
    if (f[CharProp::size]) {
        value(w, "w:sz", *f[CharProp::size]);
        value(w, "w:szCs", *f[CharProp::size]);
    }
    if (f[CharProp::underline] || f[CharProp::underline_color]) {
        w.start("w:u");
        w.attribute("w:val", underline_value(f[CharProp::underline].value_or(0)));
        if (f[CharProp::underline_color]) {
            w.attribute("w:color", color_value(*f[CharProp::underline_color]));
        }
        w.end();
    }
    if (f[CharProp::animation]) value(w, "w:effect", effect_value(*f[CharProp::animation]));
    if (f[CharProp::vert_align]) {
        const std::int32_t v = *f[CharProp::vert_align];
        value(w, "w:vertAlign",
              v == superscript ? "superscript"
              : v == subscript ? "subscript"
                               : "baseline");
    }
    if (f[CharProp::emphasis]) value(w, "w:em", emphasis_value(*f[CharProp::emphasis]));
    return w.take();
}

/* ---------------------------------------------------------------- paragraph_properties */
std::string paragraph_properties(const ParaFormat& f, const DocState& doc,
                                 const std::function<std::int32_t(ParaProp)>& inherited) {
    ooxml::XmlWriter w;
    if (f.style > 0) value(w, "w:pStyle", doc.styles[static_cast<std::size_t>(f.style)]->docx_id);
    if (f[ParaProp::word_wrap]) value(w, "w:wordWrap", *f[ParaProp::word_wrap]);
    if (f[ParaProp::auto_space_alpha]) value(w, "w:autoSpaceDE", *f[ParaProp::auto_space_alpha]);
    if (f[ParaProp::auto_space_digit]) value(w, "w:autoSpaceDN", *f[ParaProp::auto_space_digit]);
    if (f[ParaProp::line_rule] || f[ParaProp::line]) {
        const std::int32_t rule = f[ParaProp::line_rule].value_or(inherited(ParaProp::line_rule));
        const std::int32_t line = f[ParaProp::line].value_or(inherited(ParaProp::line));
        w.start("w:spacing");
        w.attribute("w:line", line);
        w.attribute("w:lineRule", rule == 4 ? "exact" : rule == 3 ? "atLeast" : "auto");
        w.end();
    }
    if (f[ParaProp::left_indent] || f[ParaProp::left_chars]) {
        w.start("w:ind");
        if (f[ParaProp::left_chars]) w.attribute("w:leftChars", *f[ParaProp::left_chars]);
        if (f[ParaProp::left_indent]) w.attribute("w:left", *f[ParaProp::left_indent]);
        w.end();
    }
    if (f[ParaProp::alignment]) value(w, "w:jc", alignment_value(*f[ParaProp::alignment]));
    return w.take();
}

}  // namespace word::detail
