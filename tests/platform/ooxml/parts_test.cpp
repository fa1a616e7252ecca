// The small parts of a package, each against the exact XML it must give.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/run_time_error.h"
#include "platform/ooxml/content_types.h"
#include "platform/ooxml/doc_props.h"
#include "platform/ooxml/media.h"
#include "platform/ooxml/relationships.h"

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

// The context of the error a bad part gives, checking its number.
template <class F>
std::string bad_part_context(F f) {
    try {
        f();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 321);
        EXPECT_EQ(e.description(), "ファイル形式が無効です。");
        return e.context();
    }
    ADD_FAILURE() << "no error";
    return {};
}

TEST(content_types, written_defaults_then_overrides_in_the_order_added) {
    ooxml::ContentTypes types = ooxml::ContentTypes::with_package_defaults();
    types.add_default(ooxml::emf_media.extension, ooxml::emf_media.content_type);
    types.add_override("/xl/workbook.xml", "application/wb");
    types.add_default("EMF", "image/x-emf");  // already there: no second entry
    types.add_override("/xl/styles.xml", "application/st");
    types.add_override("/xl/workbook.xml", "application/wb2");
    EXPECT_EQ(types.xml(),
              declaration +
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"rels\" "
                  "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                  "<Default Extension=\"emf\" ContentType=\"image/x-emf\"/>"
                  "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/wb2\"/>"
                  "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/st\"/>"
                  "</Types>");
}

TEST(content_types, parsed_part_of_another_program_edits_and_answers_lookups) {
    // Written the way other programs do: a prefix, single quotes, an unknown element.
    const std::string part =
        "<?xml version='1.0'?>\n<ct:Types "
        "xmlns:ct='http://schemas.openxmlformats.org/package/2006/content-types'>\n"
        "  <ct:Override PartName='/xl/calcChain.xml' ContentType='application/calc'/>\n"
        "  <ct:Default Extension='PNG' ContentType='image/png'/>\n"
        "  <ct:Default Extension='xml' ContentType='application/xml'/>\n"
        "  <ct:Other/>\n"
        "  <ct:Override PartName='/xl/workbook.xml' ContentType='application/wb'/>\n"
        "</ct:Types>";
    ooxml::ContentTypes types = ooxml::ContentTypes::parse(part);
    EXPECT_EQ(types.content_type("/xl/media/image1.png"), "image/png");
    EXPECT_EQ(types.content_type("/XL/WORKBOOK.XML"), "application/wb");
    EXPECT_EQ(types.content_type("/xl/sheet1.xml"), "application/xml");
    EXPECT_EQ(types.content_type("/xl/media/image1.emf"), std::nullopt);
    EXPECT_EQ(types.content_type("/xl.d/noextension"), std::nullopt);
    EXPECT_TRUE(types.remove_override("/xl/calcChain.xml"));
    EXPECT_FALSE(types.remove_override("/xl/calcChain.xml"));
    types.add_override("/xl/worksheets/sheet1.xml", "application/ws");
    EXPECT_EQ(ooxml::ContentTypes::parse(types.xml()).xml(), types.xml());
    EXPECT_EQ(types.overrides().size(), 2u);
    EXPECT_EQ(types.defaults().front().extension, "PNG");
}

TEST(content_types, bad_part_names_itself_and_the_offset) {
    EXPECT_EQ(bad_part_context([] { ooxml::ContentTypes::parse("<Types><Default", "[ct]"); }),
              "[ct]: byte 14: Error parsing start element tag");
    EXPECT_EQ(bad_part_context([] { ooxml::ContentTypes::parse("  <Relationships/>", "x"); }),
              "x: byte 2: root element is not Types");
    EXPECT_EQ(bad_part_context([] {
                  ooxml::ContentTypes::parse("<Types><Override ContentType='a'/></Types>", "x");
              }),
              "x: byte 7: Override without its part name or type");
}

TEST(relationships, ids_follow_the_highest_in_use_and_round_trip) {
    ooxml::Relationships rels;
    EXPECT_EQ(rels.add(ooxml::relationship_type::office_document, "word/document.xml"), "rId1");
    rels.add_with_id("rIdImage1", ooxml::relationship_type::image, "media/image1.emf");
    EXPECT_EQ(rels.add(ooxml::relationship_type::styles, "styles.xml"), "rId2");
    EXPECT_EQ(rels.xml(),
              declaration +
                  "<Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                  "officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"word/document.xml\"/>"
                  "<Relationship Id=\"rIdImage1\" Type=\"http://schemas.openxmlformats.org/"
                  "officeDocument/2006/relationships/image\" Target=\"media/image1.emf\"/>"
                  "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/"
                  "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
                  "</Relationships>");

    ooxml::Relationships parsed = ooxml::Relationships::parse(
        "<Relationships xmlns='http://schemas.openxmlformats.org/package/2006/relationships'>"
        "<Relationship Id='rId7' Type='t/sheet' Target='worksheets/sheet1.xml'/>"
        "<Relationship Id='rId3' Type='t/link' Target='http://x/?a=1&amp;b' "
        "TargetMode='External'/>"
        "</Relationships>",
        "xl/_rels/workbook.xml.rels");
    EXPECT_EQ(parsed.add("t/styles", "styles.xml"), "rId8");
    ASSERT_NE(parsed.find_id("rId3"), nullptr);
    EXPECT_TRUE(parsed.find_id("rId3")->external);
    EXPECT_EQ(parsed.find_type("t/sheet")->target, "worksheets/sheet1.xml");
    EXPECT_EQ(parsed.find_type("t/none"), nullptr);
    const std::string again = parsed.xml();
    EXPECT_NE(again.find("Target=\"http://x/?a=1&amp;b\" TargetMode=\"External\"/>"),
              std::string::npos);
    EXPECT_EQ(ooxml::Relationships::parse(again, "again").xml(), again);
}

TEST(relationships, bad_part_names_itself_and_the_offset) {
    EXPECT_EQ(bad_part_context([] {
                  ooxml::Relationships::parse(
                      "<Relationships><Relationship Id='a' Type='t' Target='x'/>"
                      "<Relationship Id='a' Type='t' Target='y'/></Relationships>",
                      "_rels/.rels");
              }),
              "_rels/.rels: byte 57: Relationship Id used twice");
    EXPECT_EQ(bad_part_context([] {
                  ooxml::Relationships::parse("<Relationships><Relationship Id='a'/>", "r");
              }),
              "r: byte 36: Start-end tags mismatch");
}

TEST(doc_props, written_with_what_the_caller_passes) {
    ooxml::DocumentProperties p;
    p.application = "Varnel";
    p.creator = "Varnel";
    EXPECT_EQ(ooxml::core_properties_xml(p),
              declaration +
                  "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
                  "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                  "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
                  "<dc:creator>Varnel</dc:creator></cp:coreProperties>");
    EXPECT_EQ(ooxml::app_properties_xml(p),
              declaration +
                  "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                  "extended-properties\"><Application>Varnel</Application></Properties>");

    p.title = "月報 <1>";
    p.created = "2026-12-08T21:00:00Z";
    p.app_version = "16.0300";
    const std::string core = ooxml::core_properties_xml(p);
    EXPECT_NE(core.find("<dc:title>月報 &lt;1&gt;</dc:title><dc:creator>Varnel</dc:creator>"
                        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2026-12-08T21:00:00Z"
                        "</dcterms:created></cp:coreProperties>"),
              std::string::npos)
        << core;
    EXPECT_NE(ooxml::app_properties_xml(p).find(
                  "<Application>Varnel</Application><AppVersion>16.0300</AppVersion>"),
              std::string::npos);
}

TEST(doc_props, read_from_another_program_and_written_back_safe) {
    // As Excel writes it, with a prefix of its own, entities, a character reference XML 1.0
    // forbids in a document and an element of another namespace.
    const std::string part =
        "<?xml version='1.0'?><core:coreProperties "
        "xmlns:core='http://schemas.openxmlformats.org/package/2006/metadata/core-properties' "
        "xmlns:dc='http://purl.org/dc/elements/1.1/' xmlns:x='urn:x'>"
        "<dc:title>A &amp; B &lt;月報&gt;</dc:title><dc:subject>S</dc:subject>"
        "<dc:creator>C</dc:creator><core:keywords>k1, k2</core:keywords>"
        "<dc:description>line&#x1;</dc:description><core:category>cat</core:category>"
        "<core:lastModifiedBy>other</core:lastModifiedBy><x:title>no</x:title>"
        "</core:coreProperties>";
    const ooxml::DocumentProperties p = ooxml::parse_core_properties(part, "docProps/core.xml");
    EXPECT_EQ(p.title, "A & B <月報>");
    EXPECT_EQ(p.subject, "S");
    EXPECT_EQ(p.creator, "C");
    EXPECT_EQ(p.keywords, "k1, k2");
    EXPECT_EQ(p.category, "cat");
    EXPECT_EQ(p.last_modified_by, "");
    const std::string core = ooxml::core_properties_xml(p);
    EXPECT_NE(core.find("<dc:title>A &amp; B &lt;月報&gt;</dc:title><dc:subject>S</dc:subject>"
                        "<dc:creator>C</dc:creator><cp:keywords>k1, k2</cp:keywords>"
                        "<dc:description>line\xEF\xBF\xBD</dc:description>"
                        "<cp:category>cat</cp:category></cp:coreProperties>"),
              std::string::npos)
        << core;
    EXPECT_EQ(bad_part_context([] { ooxml::parse_core_properties("<Properties/>", "c.xml"); }),
              "c.xml: byte 0: root element is not coreProperties");
}

TEST(doc_props, times_in_utc_to_the_second) {
    using namespace std::chrono;
    EXPECT_EQ(ooxml::w3c_date_time(sys_days{2026y / December / 8} + 21h + 5min + 9s + 700ms),
              "2026-12-08T21:05:09Z");
    EXPECT_EQ(ooxml::w3c_date_time(sys_days{1999y / January / 1}), "1999-01-01T00:00:00Z");
}

TEST(media, kinds_told_by_their_signature) {
    std::string emf(88, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    EXPECT_EQ(ooxml::media_type_of(emf)->content_type, "image/x-emf");
    EXPECT_EQ(ooxml::media_type_of("\x89PNG\r\n\x1a\n....")->extension, "png");
    EXPECT_EQ(ooxml::media_type_of("\xFF\xD8\xFF\xE0")->extension, "jpeg");
    EXPECT_EQ(ooxml::media_type_of(emf.substr(0, 43)), std::nullopt);
    EXPECT_EQ(ooxml::media_type_of("BM...."), std::nullopt);
}

}  // namespace
