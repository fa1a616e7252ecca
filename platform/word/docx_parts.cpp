// The smaller parts of the package: styles, settings, content types, relationships and the
// document properties.
#include <set>
#include <string>

#include "platform/word/docx.h"
#include "platform/word/xml_writer.h"

namespace word::detail {

namespace {

constexpr const char* main_ns = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* rels_ns = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* rel_base =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

void relationship(XmlWriter& w, const std::string& id, const std::string& type,
                  const std::string& target) {
    w.empty("Relationship", {{"Id", id}, {"Type", type}, {"Target", target}});
}

std::int32_t style_para(const DocState& doc, const StyleState& s, ParaProp p) {
    return s.base >= 0 ? doc.style_para_value(s.base, p) : *default_para_format()[p];
}

void style(XmlWriter& w, const DocState& doc, const StyleState& s) {
    w.start("w:style");
    w.attribute("w:type", "paragraph");
    if (s.index == 0) w.attribute("w:default", "1");
    w.attribute("w:styleId", s.docx_id);
    w.empty("w:name", {{"w:val", s.docx_name}});
    if (s.base >= 0) {
        w.empty("w:basedOn", {{"w:val", doc.styles[static_cast<std::size_t>(s.base)]->docx_id}});
    }
    w.empty("w:next", {{"w:val", doc.styles[static_cast<std::size_t>(s.next)]->docx_id}});
    if (s.automatically_update) w.empty("w:autoRedefine");
    if (s.outline_level >= 0) w.empty("w:uiPriority", {{"w:val", "9"}});
    w.empty("w:qFormat");
    w.start("w:pPr");
    if (s.outline_level >= 0) w.empty("w:keepNext");
    if (s.index == 0) w.empty("w:widowControl", {{"w:val", "0"}});
    w.raw(
        paragraph_properties(s.paragraph, doc, [&](ParaProp p) { return style_para(doc, s, p); }));
    if (s.index == 0 && !s.paragraph[ParaProp::alignment]) w.empty("w:jc", {{"w:val", "both"}});
    if (s.outline_level >= 0) w.empty("w:outlineLvl", {{"w:val", std::to_string(s.outline_level)}});
    w.end();
    w.start("w:rPr");
    w.raw(run_properties(s.font));
    w.end();
    w.end();
}

}  // namespace

/* ---------------------------------------------------------------- styles_xml */
std::string styles_xml(const DocState& doc) {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("w:styles");
    w.attribute("xmlns:w", main_ns);
    w.start("w:docDefaults");
    w.start("w:rPrDefault");
    w.start("w:rPr");
    CharFormat defaults;
    const CharFormat all = default_char_format();
    defaults.fonts = all.fonts;
    defaults[CharProp::kerning] = all[CharProp::kerning];
    defaults[CharProp::size] = all[CharProp::size];
    w.raw(run_properties(defaults));
    w.empty("w:lang", {{"w:val", "en-US"}, {"w:eastAsia", "ja-JP"}, {"w:bidi", "ar-SA"}});
    w.end();
    w.end();
    w.start("w:pPrDefault");
    w.empty("w:pPr");
    w.end();
    w.end();
    for (const auto& s : doc.styles) style(w, doc, *s);
    w.raw(
        "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultParagraphFont\">"
        "<w:name w:val=\"Default Paragraph Font\"/><w:uiPriority w:val=\"1\"/><w:semiHidden/>"
        "<w:unhideWhenUsed/></w:style>"
        "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\">"
        "<w:name w:val=\"Normal Table\"/><w:uiPriority w:val=\"99\"/><w:semiHidden/>"
        "<w:unhideWhenUsed/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblCellMar>"
        "<w:top w:w=\"0\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/>"
        "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/>"
        "</w:tblCellMar></w:tblPr></w:style>");
    w.end();
    return out;
}

/* ---------------------------------------------------------------- settings_xml */
std::string settings_xml(const DocState&) {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("w:settings");
    w.attribute("xmlns:w", main_ns);
    w.empty("w:zoom", {{"w:percent", "100"}});
    w.empty("w:defaultTabStop", {{"w:val", "840"}});
    w.empty("w:displayHorizontalDrawingGridEvery", {{"w:val", "0"}});
    w.empty("w:displayVerticalDrawingGridEvery", {{"w:val", "2"}});
    // Punctuation keeps its full width, so columns of a character grid stay put.
    w.empty("w:characterSpacingControl", {{"w:val", "doNotCompress"}});
    w.start("w:compat");
    w.empty("w:spaceForUL");
    w.empty("w:balanceSingleByteDoubleByteWidth");
    w.empty("w:doNotLeaveBackslashAlone");
    w.empty("w:ulTrailSpace");
    w.empty("w:doNotExpandShiftReturn");
    w.empty("w:useFELayout");
    w.empty("w:compatSetting", {{"w:name", "compatibilityMode"},
                                {"w:uri", "http://schemas.microsoft.com/office/word"},
                                {"w:val", "15"}});
    w.end();
    w.empty("w:themeFontLang", {{"w:val", "en-US"}, {"w:eastAsia", "ja-JP"}});
    w.end();
    return out;
}

/* ---------------------------------------------------------------- content_types_xml */
std::string content_types_xml(const MediaTable& media) {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("Types");
    w.attribute("xmlns", "http://schemas.openxmlformats.org/package/2006/content-types");
    w.empty("Default",
            {{"Extension", "rels"},
             {"ContentType", "application/vnd.openxmlformats-package.relationships+xml"}});
    w.empty("Default", {{"Extension", "xml"}, {"ContentType", "application/xml"}});
    std::set<std::string> seen;
    for (const MediaPart& m : media.parts) {
        if (seen.insert(m.picture->extension).second) {
            w.empty("Default", {{"Extension", m.picture->extension},
                                {"ContentType", m.picture->content_type}});
        }
    }
    const std::string wml = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
    w.empty("Override",
            {{"PartName", "/word/document.xml"}, {"ContentType", wml + "document.main+xml"}});
    w.empty("Override", {{"PartName", "/word/styles.xml"}, {"ContentType", wml + "styles+xml"}});
    w.empty("Override",
            {{"PartName", "/word/settings.xml"}, {"ContentType", wml + "settings+xml"}});
    w.empty("Override",
            {{"PartName", "/docProps/core.xml"},
             {"ContentType", "application/vnd.openxmlformats-package.core-properties+xml"}});
    w.empty(
        "Override",
        {{"PartName", "/docProps/app.xml"},
         {"ContentType", "application/vnd.openxmlformats-officedocument.extended-properties+xml"}});
    w.end();
    return out;
}

/* ---------------------------------------------------------------- package_relationships_xml */
std::string package_relationships_xml() {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("Relationships");
    w.attribute("xmlns", rels_ns);
    relationship(w, "rId1", std::string(rel_base) + "officeDocument", "word/document.xml");
    relationship(
        w, "rId2",
        "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
        "docProps/core.xml");
    relationship(w, "rId3", std::string(rel_base) + "extended-properties", "docProps/app.xml");
    w.end();
    return out;
}

/* ---------------------------------------------------------------- document_relationships_xml */
std::string document_relationships_xml(const MediaTable& media) {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("Relationships");
    w.attribute("xmlns", rels_ns);
    relationship(w, "rId1", std::string(rel_base) + "styles", "styles.xml");
    relationship(w, "rId2", std::string(rel_base) + "settings", "settings.xml");
    for (const MediaPart& m : media.parts) {
        relationship(w, m.relationship_id, std::string(rel_base) + "image", m.name);
    }
    w.end();
    return out;
}

/* ---------------------------------------------------------------- core_properties_xml */
// No dates: the same document always gives the same bytes.
std::string core_properties_xml() {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("cp:coreProperties");
    w.attribute("xmlns:cp",
                "http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    w.attribute("xmlns:dc", "http://purl.org/dc/elements/1.1/");
    w.attribute("xmlns:dcterms", "http://purl.org/dc/terms/");
    w.attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    w.start("dc:creator");
    w.text("Varnel");
    w.end();
    w.end();
    return out;
}

/* ---------------------------------------------------------------- app_properties_xml */
std::string app_properties_xml() {
    std::string out;
    XmlWriter w(out);
    w.declaration();
    w.start("Properties");
    w.attribute("xmlns",
                "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
    w.start("Application");
    w.text("Varnel");
    w.end();
    w.end();
    return out;
}

}  // namespace word::detail
