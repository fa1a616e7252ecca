// The one way into a package part: elements, attributes, text and numbers, escaped as XML 1.0
// needs. Text that XML cannot carry (control characters, malformed UTF-8, lone surrogates)
// becomes U+FFFD, so no input makes the part invalid.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ooxml {

// Writes one part into a buffer it owns. A long part is streamed by taking the bytes written
// so far (take()) and writing on; a start tag still open then is finished in the next piece.
// Misuse (an attribute after content, end() without an open element, an element left open at
// finish()) is a programming error and asserted.
class XmlWriter {
  public:
    XmlWriter() = default;

    // <?xml version="1.0" encoding="UTF-8" standalone="yes"?> and CR LF.
    void declaration();

    // Element names must outlive the element (string literals).
    void start(std::string_view name);
    // Only between start() and the element's first content.
    void attribute(std::string_view name, std::string_view utf8);
    void attribute(std::string_view name, std::u16string_view utf16);
    template <std::integral T>
    void attribute(std::string_view name, T value) {
        attribute_integer(name, static_cast<std::int64_t>(value));
    }
    // The shortest text that reads back as the same double; INF, -INF and NaN as XML Schema
    // spells them.
    void attribute(std::string_view name, double value);
    void text(std::string_view utf8);
    void text(std::u16string_view utf16);
    template <std::integral T>
    void number(T value) {
        integer(static_cast<std::int64_t>(value));
    }
    void number(double value);
    // Content markup made before by another XmlWriter (a cached run's properties), written as
    // it is. It is element content, so it finishes a start tag still open: no attribute may
    // follow it.
    void fragment(std::string_view xml);
    // Closes the innermost element; one that got no content is written as <name .../>.
    void end();
    // <name attr="value" .../> in one call.
    void empty(
        std::string_view name,
        std::initializer_list<std::pair<std::string_view, std::string_view>> attributes = {});
    // <name>text</name> in one call.
    void element(std::string_view name, std::string_view utf8);

    // Asserts that every element is closed; the part is complete.
    void finish() const;
    // Elements open now.
    std::size_t depth() const noexcept { return open_.size(); }

    // The bytes written since the last take(); the writer carries on after them.
    std::string take();
    const std::string& bytes() const noexcept { return out_; }

  private:
    void attribute_integer(std::string_view name, std::int64_t value);
    void integer(std::int64_t value);
    void close_start();

    std::string out_;
    std::vector<std::string_view> open_;
    bool start_open_ = false;
};

// Escaped text for element content (attribute false) or an attribute value (attribute true),
// appended to `out`.
// Characters an XML 1.0 document cannot carry: controls other than tab, CR and LF, and the
// two non-characters U+FFFE and U+FFFF.
constexpr bool xml_forbidden(char32_t c) noexcept {
    return (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF;
}

void append_escaped(std::string& out, std::string_view utf8, bool attribute);
void append_escaped(std::string& out, std::u16string_view utf16, bool attribute);

// The text of a double as XmlWriter::number writes it.
std::string format_double(double value);

}  // namespace ooxml
