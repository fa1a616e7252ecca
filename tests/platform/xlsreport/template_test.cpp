// Templates as Excel writes them, with the extensions and parts our own generator never makes:
// their settings must reach every output sheet and leave a valid part behind.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "base/whole_file.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/template_book.h"
#include "platform/xlsreport/xls_report.h"

namespace {

using xlsreport::XlsReport;

constexpr const char* main_ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

std::string excel_sheet(const char* header) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
           R"(<worksheet xmlns=")" + main_ns +
           R"(" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
           R"( xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006")"
           R"( mc:Ignorable="x14ac" xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">)"
           R"(<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr><dimension ref="A1"/>)"
           R"(<sheetViews><sheetView tabSelected="1" zoomScale="85" workbookViewId="0"/></sheetViews>)"
           R"(<sheetFormatPr defaultRowHeight="18.75" x14ac:dyDescent="0.4"/>)"
           R"(<cols><col min="1" max="3" width="3.5" customWidth="1"/></cols>)"
           R"(<sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row></sheetData>)"
           R"(<printOptions horizontalCentered="1"/>)"
           R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>)"
           R"(<pageSetup paperSize="9" fitToHeight="0" orientation="portrait" r:id="rId1"/>)"
           R"(<headerFooter><oddHeader>)" +
           header + R"(</oddHeader></headerFooter></worksheet>)";
}

// A template as Excel saves it: prefixes of its extensions, a theme font scheme, printer
// settings, a shared string table, and the sheet to copy in second place.
std::filesystem::path excel_template() {
    const auto file = std::filesystem::temp_directory_path() / "xlsreport_excel_template.xlsx";
    ooxml::PackageWriter package(file);
    package.add(
        "[Content_Types].xml",
        R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Default Extension="bin" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.printerSettings"/>)"
        R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
        R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
        R"(<Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
        R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
        R"(</Types>)");
    package.add(
        "_rels/.rels",
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
        R"(</Relationships>)");
    package.add(
        "xl/workbook.xml",
        std::string(R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns=")") + main_ns +
            R"(" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
            R"(<sheets><sheet name="Cover" sheetId="3" r:id="rId7"/>)"
            R"(<sheet name="Report" sheetId="1" r:id="rId8"/></sheets></workbook>)");
    package.add(
        "xl/_rels/workbook.xml.rels",
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/>)"
        R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
        R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
        R"(</Relationships>)");
    package.add("xl/worksheets/sheet1.xml", excel_sheet("cover"));
    package.add("xl/worksheets/sheet2.xml", excel_sheet("&amp;P / &amp;N &lt;report&gt;"));
    package.add(
        "xl/worksheets/_rels/sheet2.xml.rels",
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/printerSettings" Target="../printerSettings/printerSettings1.bin"/>)"
        R"(</Relationships>)");
    package.add("xl/printerSettings/printerSettings1.bin", "DEVMODE");
    package.add(
        "xl/styles.xml",
        std::string(R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns=")") + main_ns +
            R"("><fonts count="1"><font><sz val="11"/><color theme="1"/>)"
            R"(<name val="游ゴシック"/><family val="2"/><charset val="128"/><scheme val="minor"/></font></fonts>)"
            R"(<fills count="1"><fill><patternFill patternType="none"/></fill></fills>)"
            R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
            R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"><alignment vertical="center"/></xf></cellStyleXfs>)"
            R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"><alignment vertical="center"/></xf></cellXfs>)"
            R"(</styleSheet>)");
    package.commit();
    return file;
}

pugi::xml_document parse(const ooxml::PackageReader& package, std::string_view part) {
    pugi::xml_document document;
    const std::string xml = package.read(part);
    EXPECT_TRUE(document.load_buffer(xml.data(), xml.size())) << part;
    return document;
}

TEST(xlsreport_template, an_excel_template_sheet_carries_into_every_sheet) {
    const auto source = excel_template();
    const auto file = std::filesystem::temp_directory_path() / "xlsreport_from_excel.xlsx";
    XlsReport report;
    ASSERT_EQ(report.PutFileName(source.string()), 1);
    ASSERT_EQ(report.StartFile(), 1);
    for (const char* name : {"a", "b"}) {
        ASSERT_EQ(report.PageBegin(name, "2"), 1);  // the second sheet, by place
        ASSERT_EQ(report.Pos(0, 0, -1, -1), 1);
        ASSERT_EQ(report.AttrPutFontName("\x82\x6c\x82\x72 \x96\xbe\x92\xa9"), 1);  // ＭＳ 明朝
        ASSERT_EQ(report.PutValueString("x"), 1);
        ASSERT_EQ(report.Pos(1, 0, -1, -1), 1);
        ASSERT_EQ(report.AttrPutPosHorz(xlsreport::pos_right), 1);
        ASSERT_EQ(report.PutValueString("y"), 1);
        ASSERT_EQ(report.PageEnd(), 1);
    }
    ASSERT_EQ(report.PageBegin("c", "Cover"), 1);
    ASSERT_EQ(report.PageEnd(), 1);
    ASSERT_EQ(report.OutFile(file.string(), -1), 1);

    const ooxml::PackageReader package(file);
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}) {
        const auto sheet = parse(package, part);
        const pugi::xml_node root = sheet.document_element();
        // Attributes of Excel's extensions stay declared and ignorable.
        EXPECT_STREQ(root.attribute("xmlns:x14ac").value(),
                     "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac");
        EXPECT_STREQ(root.attribute("mc:Ignorable").value(), "x14ac");
        EXPECT_STREQ(root.child("sheetFormatPr").attribute("x14ac:dyDescent").value(), "0.4");
        EXPECT_STREQ(root.child("sheetFormatPr").attribute("defaultRowHeight").value(), "18.75");
        EXPECT_STREQ(root.child("sheetPr").child("pageSetUpPr").attribute("fitToPage").value(),
                     "1");
        EXPECT_STREQ(root.child("cols").child("col").attribute("width").value(), "3.5");
        EXPECT_STREQ(root.child("sheetViews").child("sheetView").attribute("zoomScale").value(),
                     "85");
        EXPECT_FALSE(root.child("sheetViews").child("sheetView").attribute("tabSelected"));
        EXPECT_TRUE(root.child("printOptions").attribute("horizontalCentered"));
        // The printer settings stay behind, and so does the reference to them.
        EXPECT_STREQ(root.child("pageSetup").attribute("fitToHeight").value(), "0");
        EXPECT_FALSE(root.child("pageSetup").attribute("r:id"));
        EXPECT_STREQ(root.child("headerFooter").child("oddHeader").text().get(),
                     "&P / &N <report>");
        // The template's cells are not copied: the sheet holds what was put there.
        EXPECT_EQ(root.child("sheetData").child("row").child("c").child("v"), pugi::xml_node());
    }
    EXPECT_FALSE(package.contains("xl/printerSettings/printerSettings1.bin"));
    EXPECT_STREQ(parse(package, "xl/worksheets/sheet3.xml")
                     .document_element()
                     .child("headerFooter")
                     .child("oddHeader")
                     .text()
                     .get(),
                 "cover");

    const auto styles = parse(package, "xl/styles.xml");
    const pugi::xml_node fonts = styles.document_element().child("fonts");
    EXPECT_STREQ(fonts.attribute("count").value(), "2");
    const pugi::xml_node added = fonts.last_child();
    EXPECT_STREQ(added.child("name").attribute("val").value(), "ＭＳ 明朝");
    EXPECT_STREQ(added.child("sz").attribute("val").value(), "11");
    EXPECT_STREQ(added.child("charset").attribute("val").value(), "128");
    EXPECT_FALSE(added.child("scheme"));  // the theme's font would win over the name
    const pugi::xml_node xfs = styles.document_element().child("cellXfs");
    EXPECT_STREQ(xfs.attribute("count").value(), "3");
    const pugi::xml_node right = xfs.last_child();
    EXPECT_STREQ(right.child("alignment").attribute("horizontal").value(), "right");
    EXPECT_STREQ(right.child("alignment").attribute("vertical").value(), "center");
    std::filesystem::remove(source);
    std::filesystem::remove(file);
}

}  // namespace

namespace {

using xlsreport::detail::ReportFailure;
using xlsreport::detail::TemplateBook;

ReportFailure refusal(std::string bytes) {
    try {
        TemplateBook::parse(std::move(bytes), "mine.xlsx");
    } catch (const ReportFailure& failure) {
        return failure;
    }
    return {0, ""};
}

TEST(xlsreport_template, bytes_read_as_their_file_and_damage_is_a_refusal_naming_them) {
    const std::filesystem::path file = std::filesystem::path(VS_PROGRAM_DIR) / "TMP-12P.xlsx";
    const auto from_file = TemplateBook::read(file);
    const std::string bytes = base::load_file(file);
    const auto from_bytes = TemplateBook::parse(bytes, "TMP-12P.xlsx");
    ASSERT_NE(from_bytes->sheet("1"), nullptr);
    EXPECT_EQ(from_bytes->sheet("1")->cols, from_file->sheet("1")->cols);
    EXPECT_EQ(from_bytes->styles_xml(), from_file->styles_xml());

    for (const std::string& damaged :
         {std::string("not a workbook"), bytes.substr(0, bytes.size() / 2), std::string()}) {
        const ReportFailure failure = refusal(damaged);
        EXPECT_EQ(failure.number, xlsreport::error::file_cannot_open);
        EXPECT_TRUE(failure.what.starts_with("mine.xlsx: ")) << failure.what;
    }

    // A workbook all of whose sheets are gone (only a chart sheet left, say).
    ooxml::PackageWriter no_sheet;
    for (const char* part : {"_rels/.rels", "xl/_rels/workbook.xml.rels"})
        no_sheet.add(part, ooxml::PackageReader(file).read(part));
    no_sheet.add("xl/workbook.xml",
                 std::string("<workbook xmlns=\"") + main_ns + "\"><sheets/></workbook>");
    const ReportFailure failure = refusal(no_sheet.finish());
    EXPECT_EQ(failure.number, xlsreport::error::file_cannot_open);
    EXPECT_EQ(failure.what, "mine.xlsx: ワークシートがありません");
}

}  // namespace
