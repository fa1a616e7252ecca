// The smaller Word parts of the package: styles and settings.
#include <string>

#include "platform/ooxml/xml_writer.h"
#include "platform/word/docx.h"

namespace word::detail {

namespace {

constexpr const char* main_ns = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
std::int32_t style_para(const DocState& doc, const StyleState& s, ParaProp p) {
    return s.base >= 0 ? doc.style_para_value(s.base, p) : *default_para_format()[p];
}

void style(ooxml::XmlWriter& w, const DocState& doc, const StyleState& s) {
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
    w.fragment(
        paragraph_properties(s.paragraph, doc, [&](ParaProp p) { return style_para(doc, s, p); }));
    if (s.index == 0 && !s.paragraph[ParaProp::alignment]) w.empty("w:jc", {{"w:val", "both"}});
    if (s.outline_level >= 0) w.empty("w:outlineLvl", {{"w:val", std::to_string(s.outline_level)}});
    w.end();
    w.start("w:rPr");
    w.fragment(run_properties(s.font));
    w.end();
    w.end();
}

}  // namespace

/* ---------------------------------------------------------------- styles_xml */
std::string styles_xml(const DocState& doc) {
    ooxml::XmlWriter w;
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
    w.fragment(run_properties(defaults));
    w.empty("w:lang", {{"w:val", "en-US"}, {"w:eastAsia", "ja-JP"}, {"w:bidi", "ar-SA"}});
    w.end();
    w.end();
    w.start("w:pPrDefault");
    w.empty("w:pPr");
    w.end();
    w.end();
    for (const auto& s : doc.styles) style(w, doc, *s);
    w.fragment(
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
    w.finish();
    return w.take();
}

/* ---------------------------------------------------------------- settings_xml */
std::string settings_xml(const DocState&) {
    ooxml::XmlWriter w;
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
    w.finish();
    return w.take();
}

}  // namespace word::detail
