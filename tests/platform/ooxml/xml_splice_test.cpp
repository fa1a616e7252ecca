#include "platform/ooxml/xml_splice.h"

#include <gtest/gtest.h>

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace {

using ooxml::splice_changed_elements;

struct Parsed {
    std::string source;
    pugi::xml_document document;
    explicit Parsed(std::string xml) : source(std::move(xml)) {
        EXPECT_TRUE(document.load_buffer(source.data(), source.size(),
                                         pugi::parse_default | pugi::parse_declaration,
                                         pugi::encoding_utf8));
    }
    pugi::xml_node at(const char* xpath) const { return document.select_node(xpath).node(); }
};

TEST(xml_splice, elements_left_alone_keep_their_bytes) {
    // Quotes, spacing and line ends the writer would write otherwise.
    Parsed part(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<x:worksheet xmlns:x=\"urn:s\">\n  <x:sheetData>\n"
        "    <x:row r='1' ><x:c r=\"A1\" t=\"inlineStr\"><x:is><x:t>&#x41;b</x:t></x:is></x:c>"
        "<x:c r=\"B1\"><x:v>2</x:v></x:c></x:row>\n"
        "    <x:row r=\"2\"><x:c r=\"A2\" s=\"3\"/></x:row>\n  </x:sheetData>\n</x:worksheet>\n");
    const pugi::xml_node a1 = part.at("//x:c[@r='A1']");
    a1.child("x:is").child("x:t").text().set("新しい <文字>");
    pugi::xml_node a2 = part.at("//x:c[@r='A2']");
    a2.append_attribute("t") = "s";
    a2.append_child("x:v").text().set("0");

    const std::optional<std::string> spliced = splice_changed_elements(part.source, {a2, a1});
    ASSERT_TRUE(spliced);
    EXPECT_EQ(*spliced,
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
              "<x:worksheet xmlns:x=\"urn:s\">\n  <x:sheetData>\n"
              "    <x:row r='1' ><x:c r=\"A1\" t=\"inlineStr\"><x:is><x:t>新しい &lt;文字&gt;"
              "</x:t></x:is></x:c><x:c r=\"B1\"><x:v>2</x:v></x:c></x:row>\n"
              "    <x:row r=\"2\"><x:c r=\"A2\" s=\"3\" t=\"s\"><x:v>0</x:v></x:c></x:row>\n"
              "  </x:sheetData>\n</x:worksheet>\n");
}

TEST(xml_splice, an_element_inside_a_changed_one_is_written_with_it) {
    Parsed part("<a><b k=\"1\"><c/><d>t</d></b><e/></a>");
    const pugi::xml_node b = part.at("/a/b");
    const pugi::xml_node d = part.at("/a/b/d");
    d.text().set("u");
    b.attribute("k").set_value("2");
    EXPECT_EQ(splice_changed_elements(part.source, {d, b, d}),
              "<a><b k=\"2\"><c/><d>u</d></b><e/></a>");
    EXPECT_EQ(splice_changed_elements(part.source, {}), part.source);
}

TEST(xml_splice, source_the_writer_would_clean_is_written_whole) {
    // Each is accepted by the parser, and each the writer would write otherwise.
    for (const std::string& odd :
         {std::string("x\x01y"), std::string("&#1;"), std::string("&#xFFFE;"),
          std::string("\xC3(bad"), std::string("<!-- note -->"), std::string("a]]>b"),
          std::string("<![CDATA[c]]>"), std::string("&unknown;")}) {
        Parsed part("<a><b>1</b><c>" + odd + "</c></a>");
        const pugi::xml_node b = part.at("/a/b");
        b.text().set("2");
        EXPECT_FALSE(splice_changed_elements(part.source, {b})) << odd;
    }
    Parsed fine("<a><b>1</b><c>&#x9;&#10;&amp;&apos;\xEF\xBF\xBD\xE6\x97\xA5</c></a>");
    EXPECT_TRUE(splice_changed_elements(fine.source, {fine.at("/a/b")}));
}

TEST(xml_splice, an_element_added_after_reading_has_no_place) {
    Parsed part("<a><b/></a>");
    const pugi::xml_node added = part.document.document_element().append_child("c");
    EXPECT_FALSE(splice_changed_elements(part.source, {added}));
    EXPECT_FALSE(splice_changed_elements("<a><z/></a>", {part.at("/a/b")}));
}

}  // namespace
