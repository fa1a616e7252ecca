#include "platform/ooxml/xml_writer.h"

#include <cassert>
#include <charconv>
#include <cmath>

namespace ooxml {

namespace {

constexpr char32_t replacement = 0xFFFD;

// Characters an XML 1.0 document cannot carry: controls other than tab, CR and LF, and the
// two non-characters U+FFFE and U+FFFF.
constexpr bool xml_forbidden(char32_t c) noexcept {
    return (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// One UTF-8 sequence at `i`; `i` moves past it, or by one byte when it is malformed (over-long,
// cut short, a surrogate or beyond U+10FFFF), which gives U+FFFD.
char32_t decode_utf8(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1Fu, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0Fu, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07u, minimum = 0x10000;
    } else {
        ++i;
        return replacement;
    }
    if (i + extra >= s.size()) {
        ++i;
        return replacement;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return replacement;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return replacement;
    }
    i += extra + 1;
    return cp;
}

// One UTF-16 code point at `i`; an unpaired surrogate gives U+FFFD.
char32_t decode_utf16(std::u16string_view s, std::size_t& i) {
    char32_t c = s[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
        return 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00u);
    }
    return c >= 0xD800 && c <= 0xDFFF ? replacement : c;
}

void append_char(std::string& out, char32_t c, bool attribute) {
    switch (c) {
        case '&':
            out += "&amp;";
            return;
        case '<':
            out += "&lt;";
            return;
        case '>':
            out += "&gt;";
            return;
        case '"':
            if (attribute) {
                out += "&quot;";
                return;
            }
            break;
        case '\t':
        case '\n':
        case '\r':
            // A parser turns these into spaces in an attribute unless they are references.
            if (attribute) {
                out += "&#x";
                out += "0123456789ABCDEF"[c & 0xF];
                out += ';';
                return;
            }
            break;
        default:
            break;
    }
    append_utf8(out, xml_forbidden(c) ? replacement : c);
}

}  // namespace

/* ---------------------------------------------------------------- append_escaped */
void append_escaped(std::string& out, std::string_view utf8, bool attribute) {
    for (std::size_t i = 0; i < utf8.size();) append_char(out, decode_utf8(utf8, i), attribute);
}

void append_escaped(std::string& out, std::u16string_view utf16, bool attribute) {
    for (std::size_t i = 0; i < utf16.size();) append_char(out, decode_utf16(utf16, i), attribute);
}

/* ---------------------------------------------------------------- format_double */
std::string format_double(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    // Written as -0 it would read back as zero in every program that reads the part anyway.
    if (value == 0) return "0";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

/* ---------------------------------------------------------------- XmlWriter */
void XmlWriter::declaration() {
    assert(open_.empty() && out_.empty());
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
}

void XmlWriter::close_start() {
    if (start_open_) {
        out_ += '>';
        start_open_ = false;
    }
}

void XmlWriter::start(std::string_view name) {
    close_start();
    out_ += '<';
    out_ += name;
    open_.push_back(name);
    start_open_ = true;
}

void XmlWriter::attribute(std::string_view name, std::string_view utf8) {
    assert(start_open_);
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    append_escaped(out_, utf8, true);
    out_ += '"';
}

void XmlWriter::attribute(std::string_view name, std::u16string_view utf16) {
    assert(start_open_);
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    append_escaped(out_, utf16, true);
    out_ += '"';
}

void XmlWriter::attribute_integer(std::string_view name, std::int64_t value) {
    assert(start_open_);
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += std::to_string(value);
    out_ += '"';
}

void XmlWriter::attribute(std::string_view name, double value) {
    attribute(name, std::string_view(format_double(value)));
}

void XmlWriter::text(std::string_view utf8) {
    close_start();
    append_escaped(out_, utf8, false);
}

void XmlWriter::text(std::u16string_view utf16) {
    close_start();
    append_escaped(out_, utf16, false);
}

void XmlWriter::integer(std::int64_t value) {
    close_start();
    out_ += std::to_string(value);
}

void XmlWriter::number(double value) {
    close_start();
    out_ += format_double(value);
}

void XmlWriter::fragment(std::string_view xml) {
    close_start();
    out_ += xml;
}

void XmlWriter::end() {
    assert(!open_.empty());
    const std::string_view name = open_.back();
    open_.pop_back();
    if (start_open_) {
        out_ += "/>";
        start_open_ = false;
        return;
    }
    out_ += "</";
    out_ += name;
    out_ += '>';
}

void XmlWriter::empty(
    std::string_view name,
    std::initializer_list<std::pair<std::string_view, std::string_view>> attributes) {
    start(name);
    for (const auto& [k, v] : attributes) attribute(k, v);
    end();
}

void XmlWriter::element(std::string_view name, std::string_view utf8) {
    start(name);
    text(utf8);
    end();
}

void XmlWriter::finish() const {
    assert(open_.empty() && !start_open_);
}

std::string XmlWriter::take() {
    std::string piece;
    piece.swap(out_);
    return piece;
}

}  // namespace ooxml
