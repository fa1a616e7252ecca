#include "platform/word/xml_writer.h"

#include <string>

#include "platform/word/text_utf.h"

namespace word::detail {

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
    append_utf8(out, xml_forbidden(c) ? char32_t{0xFFFD} : c);
}

}  // namespace

/* ---------------------------------------------------------------- append_escaped */
void append_escaped(std::string& out, std::string_view utf8, bool attribute) {
    const std::u16string wide = utf8_to_utf16(utf8);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00u);
        }
        append_char(out, c, attribute);
    }
}

void append_escaped(std::string& out, std::u16string_view utf16) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c < 0x80 && c != '&' && c != '<' && c != '>' && !xml_forbidden(c)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00u);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        append_char(out, c, false);
    }
}

/* ---------------------------------------------------------------- XmlWriter */
XmlWriter::XmlWriter(std::string& out) : out_(out) {}

void XmlWriter::declaration() {
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

void XmlWriter::attribute(std::string_view name, std::string_view value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    append_escaped(out_, value, true);
    out_ += '"';
}

void XmlWriter::attribute(std::string_view name, std::int64_t value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_ += std::to_string(value);
    out_ += '"';
}

void XmlWriter::text(std::string_view utf8) {
    close_start();
    append_escaped(out_, utf8, false);
}

void XmlWriter::text(std::u16string_view utf16) {
    close_start();
    append_escaped(out_, utf16);
}

void XmlWriter::raw(std::string_view xml) {
    close_start();
    out_ += xml;
}

void XmlWriter::end() {
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

}  // namespace word::detail
