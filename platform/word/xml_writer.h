// A small streaming XML writer: elements, attributes and text, escaped as XML 1.0 needs.
// Characters XML cannot carry are written as U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace word::detail {

class XmlWriter {
  public:
    explicit XmlWriter(std::string& out);

    void declaration();  // <?xml ... standalone="yes"?>
    // Element names must outlive the element (string literals).
    void start(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void attribute(std::string_view name, std::int64_t value);
    void text(std::string_view utf8);
    void text(std::u16string_view utf16);
    // Markup this writer made before (cached fragments); written as it is.
    void raw(std::string_view xml);
    void end();
    // <name attr="value" .../> in one call.
    void empty(
        std::string_view name,
        std::initializer_list<std::pair<std::string_view, std::string_view>> attributes = {});

  private:
    void close_start();
    std::string& out_;
    std::vector<std::string_view> open_;
    bool start_open_ = false;
};

// Escaped text for element content or attribute values.
void append_escaped(std::string& out, std::string_view utf8, bool attribute);
void append_escaped(std::string& out, std::u16string_view utf16);

}  // namespace word::detail
