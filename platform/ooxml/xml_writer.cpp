#include "platform/ooxml/xml_writer.h"

#include <cassert>
#include <charconv>
#include <cmath>

#include "base/unicode.h"

namespace ooxml {

namespace {

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
    unicode::append_utf8(out, xml_forbidden(c) ? unicode::replacement_character : c);
}

// A printable ASCII character that stands for itself in text or in an attribute.
constexpr bool plain_ascii(char32_t c, bool attribute) noexcept {
    return c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>' && !(attribute && c == '"');
}

}  // namespace

/* ---------------------------------------------------------------- append_escaped */
// Runs of characters that stand for themselves (well-formed UTF-8 that XML can carry) are
// copied as they are: a sheet or a document body is mostly such text.
void append_escaped(std::string& out, std::string_view utf8, bool attribute) {
    std::size_t plain = 0;  // where the run copied as it is began
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        std::size_t next = i + 1;
        char32_t c = byte;
        if (byte >= 0x80) {
            next = i;
            c = unicode::decode_utf8(utf8, next);
            if (c != unicode::replacement_character && !xml_forbidden(c)) {
                i = next;
                continue;
            }
        } else if (plain_ascii(c, attribute)) {
            ++i;
            continue;
        }
        out.append(utf8.substr(plain, i - plain));
        append_char(out, c, attribute);
        i = plain = next;
    }
    out.append(utf8.substr(plain));
}

void append_escaped(std::string& out, std::u16string_view utf16, bool attribute) {
    for (std::size_t i = 0; i < utf16.size();) {
        if (plain_ascii(utf16[i], attribute)) {
            out.push_back(static_cast<char>(utf16[i++]));
            continue;
        }
        append_char(out, unicode::decode_utf16(utf16, i), attribute);
    }
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
