#include "platform/ooxml/xml_writer.h"

#include <gtest/gtest.h>

#include <limits>
#include <pugixml.hpp>
#include <string>

namespace {

using ooxml::XmlWriter;

// The text of the one element of a part, as a reader nobody here wrote sees it.
std::string read_back(const std::string& xml, const char* attribute = nullptr) {
    pugi::xml_document document;
    const auto result = document.load_buffer(xml.data(), xml.size());
    EXPECT_TRUE(result) << result.description() << " at " << result.offset << " in " << xml;
    const pugi::xml_node e = document.document_element();
    return attribute != nullptr ? e.attribute(attribute).value() : e.text().get();
}

TEST(xml_writer, elements_attributes_and_text_escaped) {
    XmlWriter w;
    w.declaration();
    w.start("w:p");
    w.attribute("a", "x<\"&'>\ty");
    w.attribute("n", -12);
    w.start("w:r");
    w.end();
    w.element("w:t", "a<b & \"c\">");
    w.empty("w:br", {{"w:type", "page"}});
    w.start("w:t");
    w.text(u"\u65e5\u672c");
    w.end();
    w.end();
    w.finish();
    EXPECT_EQ(w.take(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
              "<w:p a=\"x&lt;&quot;&amp;'&gt;&#x9;y\" n=\"-12\"><w:r/>"
              "<w:t>a&lt;b &amp; \"c\"&gt;</w:t><w:br w:type=\"page\"/>"
              "<w:t>\xE6\x97\xA5\xE6\x9C\xAC</w:t></w:p>");
}

TEST(xml_writer, text_xml_cannot_carry_becomes_replacement_characters) {
    const std::string fffd = "\xEF\xBF\xBD";
    XmlWriter w;
    w.start("t");
    // A control character, a byte that starts nothing, a sequence cut short, an over-long
    // slash, an encoded surrogate, U+FFFE; tab, CR and LF stay.
    w.text(
        std::string_view("a\x01"
                         "b\x80"
                         "c\xE6\x97"
                         "d\xC0\xAF"
                         "e\xED\xA0\x80"
                         "f\xEF\xBF\xBE"
                         "\t\r\n"));
    w.text(std::u16string_view(u"\xD800g\xDC00h\x0008"));
    w.end();
    const std::string xml = w.take();
    EXPECT_EQ(xml, "<t>a" + fffd + "b" + fffd + "c" + fffd + fffd + "d" + fffd + fffd + "e" + fffd +
                       fffd + fffd + "f" + fffd + "\t\r\n" + fffd + "g" + fffd + "h" + fffd +
                       "</t>");
    read_back(xml);

    XmlWriter a;
    a.start("t");
    a.attribute("v", std::string_view("\x02\n\"", 3));
    a.attribute("w", std::u16string_view(u"\xDBFF<"));
    a.end();
    EXPECT_EQ(a.take(), "<t v=\"" + fffd + "&#xA;&quot;\" w=\"" + fffd + "&lt;\"/>");
}

TEST(xml_writer, numbers_read_back_as_the_same_value) {
    for (const double v : {0.1, 1.0 / 3.0, -2.5e-300, 1e21, 123456789.0, 0.0, -0.0,
                           std::numeric_limits<double>::max()}) {
        XmlWriter w;
        w.start("c");
        w.attribute("v", v);
        w.number(v);
        w.end();
        const std::string xml = w.take();
        EXPECT_EQ(std::stod(read_back(xml)), v) << xml;
        EXPECT_EQ(std::stod(read_back(xml, "v")), v) << xml;
    }
    EXPECT_EQ(ooxml::format_double(0.1), "0.1");
    EXPECT_EQ(ooxml::format_double(-0.0), "0");
    EXPECT_EQ(ooxml::format_double(1e21), "1e+21");
    EXPECT_EQ(ooxml::format_double(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(ooxml::format_double(-std::numeric_limits<double>::infinity()), "-INF");
    XmlWriter w;
    w.start("v");
    w.number(std::int64_t{-9007199254740993});
    w.end();
    EXPECT_EQ(w.take(), "<v>-9007199254740993</v>");
}

TEST(xml_writer, pieces_taken_midway_join_to_the_whole_part) {
    const auto write = [](XmlWriter& w, std::string* pieces) {
        w.start("body");
        if (pieces != nullptr) *pieces += w.take();  // the start tag is still open here
        w.start("p");
        w.attribute("k", "v");
        if (pieces != nullptr) *pieces += w.take();
        w.fragment("<cached/>");
        w.end();
        w.end();
        w.finish();
    };
    XmlWriter whole;
    write(whole, nullptr);
    XmlWriter streamed;
    std::string pieces;
    write(streamed, &pieces);
    pieces += streamed.take();
    EXPECT_EQ(pieces, whole.take());
    EXPECT_EQ(pieces, "<body><p k=\"v\"><cached/></p></body>");
}

TEST(xml_writer, misuse_is_caught_in_debug_builds) {
    EXPECT_DEBUG_DEATH(
        {
            XmlWriter w;
            w.start("open");
            w.finish();
        },
        "");
    EXPECT_DEBUG_DEATH(
        {
            XmlWriter w;
            w.start("p");
            w.fragment("<r/>");
            w.attribute("late", "1");
        },
        "");
}

}  // namespace
