// Templates as users edit them (made by libxlsxwriter at build time): their names, header
// pictures and document properties reach every sheet, and what cannot is told, never written
// broken.
#include <gtest/gtest.h>

#include <ctime>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "platform/xlsreport/xls_report.h"
#include "tests/ooxml_conformance.h"

namespace {

using xlsreport::XlsReport;
namespace fs = std::filesystem;

const fs::path edited = VS_EDITED_TEMPLATES_DIR "/TMP-10P.xlsx";
const fs::path flawed = VS_EDITED_TEMPLATES_DIR "/TMP-10P-flawed.xlsx";

struct Folder {
    Folder() {
        path = fs::temp_directory_path() /
               ("xlsreport_edits_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    fs::path path;
};

// A copy of `from` without `part`.
fs::path without(const fs::path& from, const std::string& part, const fs::path& to) {
    const ooxml::PackageReader source(from);
    ooxml::PackageWriter package(to);
    for (const std::string& name : source.part_names()) {
        if (name != part) package.add_copy(source, name);
    }
    package.commit();
    return to;
}

// A workbook on `template_file` with a sheet per entry of `last_rows`, each holding text down
// to that row; returns the warnings heard.
std::vector<std::string> build(const fs::path& template_file, const fs::path& out,
                               const std::vector<int>& last_rows) {
    XlsReport report("Sorbel");
    std::vector<std::string> warnings;
    report.SetOnWarningProc([&](const std::string& line) { warnings.push_back(line); });
    EXPECT_EQ(report.PutFileName(template_file.string()), 1);
    EXPECT_EQ(report.StartFile(), 1);
    int n = 0;
    for (const int last : last_rows) {
        EXPECT_EQ(report.PageBegin("sheet1", "1"), 1);
        EXPECT_EQ(report.PageName("Page " + std::to_string(++n)), 1);
        for (const int row : {0, last}) {
            EXPECT_EQ(report.Pos(0, row, -1, -1), 1);
            EXPECT_EQ(report.PutValueString("row " + std::to_string(row)), 1);
        }
        EXPECT_EQ(report.PageEnd(), 1);
    }
    EXPECT_EQ(report.OutFile(out.string(), -1), 1);
    return warnings;
}

pugi::xml_document parse(const ooxml::PackageReader& package, const std::string& part) {
    pugi::xml_document document;
    const std::string xml = package.read(part);
    EXPECT_TRUE(document.load_buffer(xml.data(), xml.size())) << part;
    return document;
}

// "name@sheet=formula" for every defined name of the workbook, in order.
std::vector<std::string> defined_names(const fs::path& book) {
    const ooxml::PackageReader package(book);
    std::vector<std::string> names;
    const auto workbook = parse(package, "xl/workbook.xml");
    for (const pugi::xml_node n : workbook.document_element().child("definedNames").children()) {
        const pugi::xml_attribute sheet = n.attribute("localSheetId");
        names.push_back(std::string(n.attribute("name").value()) +
                        (sheet ? "@" + std::string(sheet.value()) : "") + "=" + n.text().get());
    }
    return names;
}

std::size_t count_containing(const std::vector<std::string>& lines, const std::string& what) {
    std::size_t n = 0;
    for (const std::string& line : lines)
        if (line.find(what) != std::string::npos) ++n;
    return n;
}

TEST(xlsreport_template_edits, names_move_to_every_sheet_and_what_cannot_is_told_once) {
    Folder folder;
    const fs::path book = folder.path / "names.xlsx";
    // The flawed template's print area holds 65 rows: the first and third sheets fit in it.
    const auto warnings = build(flawed, book, {60, 120, 64, 200});
    EXPECT_EQ(
        defined_names(book),
        (std::vector<std::string>{
            "Rate=0.08", "Logo_Cell@0='Page 1'!$B$2", "_xlnm.Print_Area@0='Page 1'!$A$1:$CZ$65",
            "_xlnm.Print_Titles@0='Page 1'!$1:$2", "Logo_Cell@1='Page 2'!$B$2",
            "_xlnm.Print_Titles@1='Page 2'!$1:$2", "Logo_Cell@2='Page 3'!$B$2",
            "_xlnm.Print_Area@2='Page 3'!$A$1:$CZ$65", "_xlnm.Print_Titles@2='Page 3'!$1:$2",
            "Logo_Cell@3='Page 4'!$B$2", "_xlnm.Print_Titles@3='Page 4'!$1:$2"}));
    // Each told once, naming the template and the name.
    ASSERT_EQ(warnings.size(), 3u) << ::testing::PrintToString(warnings);
    EXPECT_EQ(count_containing(warnings, "TMP-10P-flawed.xlsx"), 3u);
    EXPECT_EQ(
        count_containing(warnings, "名前 Broken を省きました: 参照 SUM('1'!$A$1 を解釈できません"),
        1u);
    EXPECT_EQ(
        count_containing(warnings, "印刷範囲 1!$A$1:$CZ$65 は、シート「Page 2」ほか 1 シート"), 1u);
    EXPECT_EQ(count_containing(warnings, "名前 Orphan を省きました: シート「1」を参照"), 1u);
    EXPECT_EQ(test_support::ooxml_violations({book}), "");
}

TEST(xlsreport_template_edits, header_pictures_reach_every_sheet_from_one_copy) {
    Folder folder;
    const fs::path book = folder.path / "logo.xlsx";
    EXPECT_EQ(build(edited, book, {10, 10, 10}), std::vector<std::string>{});
    const ooxml::PackageReader package(book);
    const std::string logo = ooxml::PackageReader(edited).read("xl/media/image1.png");
    std::size_t copies = 0;
    for (const std::string& part : package.part_names()) {
        if (part.starts_with("xl/media/") && package.read(part) == logo) ++copies;
    }
    EXPECT_EQ(copies, 1u);
    for (const int n : {1, 2, 3}) {
        const std::string s = std::to_string(n);
        const auto sheet = parse(package, "xl/worksheets/sheet" + s + ".xml");
        EXPECT_NE(
            std::string(
                sheet.document_element().child("headerFooter").child("oddHeader").text().get())
                .find("&G"),
            std::string::npos);
        EXPECT_TRUE(sheet.document_element().child("legacyDrawingHF").attribute("r:id"));
        // Shape ids of each sheet's own, so that no two drawings share one.
        const auto vml = parse(package, "xl/drawings/vmlDrawing" + s + ".vml");
        EXPECT_STREQ(vml.document_element()
                         .child("o:shapelayout")
                         .child("o:idmap")
                         .attribute("data")
                         .value(),
                     s.c_str());
        EXPECT_EQ(std::string(vml.document_element().child("v:shape").attribute("o:spid").value()),
                  "_x0000_s" + std::to_string(n * 1024 + 1));
    }
    EXPECT_EQ(test_support::ooxml_violations({book}), "");
}

TEST(xlsreport_template_edits, a_header_picture_whose_part_is_missing_is_told_and_left_out) {
    Folder folder;
    for (const char* part : {"xl/media/image1.png", "xl/drawings/vmlDrawing1.vml",
                             "xl/worksheets/_rels/sheet1.xml.rels"}) {
        SCOPED_TRACE(part);
        const fs::path damaged = without(edited, part, folder.path / "TMP-10P.xlsx");
        const fs::path book = folder.path / "book.xlsx";
        const auto warnings = build(damaged, book, {10, 10});
        ASSERT_EQ(warnings.size(), 1u) << ::testing::PrintToString(warnings);
        EXPECT_NE(
            warnings[0].find("テンプレート TMP-10P.xlsx のシート「1」のヘッダー・フッターの図"),
            std::string::npos);
        EXPECT_NE(warnings[0].find(part), std::string::npos) << warnings[0];
        const ooxml::PackageReader package(book);
        EXPECT_FALSE(package.contains("xl/drawings/vmlDrawing1.vml"));
        EXPECT_FALSE(
            parse(package, "xl/worksheets/sheet1.xml").document_element().child("legacyDrawingHF"));
        EXPECT_EQ(test_support::ooxml_violations({book}), "");
    }
}

std::string utc_now() {
    const std::time_t t = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&t));
    return text;
}

TEST(xlsreport_template_edits, document_properties_are_kept_and_dated_at_the_run) {
    Folder folder;
    const fs::path book = folder.path / "properties.xlsx";
    const std::string before = utc_now();
    build(edited, book, {10});
    const std::string after = utc_now();
    const ooxml::PackageReader package(book);
    const auto core = parse(package, "docProps/core.xml");
    const pugi::xml_node p = core.document_element();
    EXPECT_STREQ(p.child("dc:title").text().get(), "月次報告 <社外秘> & 控え");
    EXPECT_STREQ(p.child("dc:subject").text().get(), "売上");
    EXPECT_STREQ(p.child("dc:creator").text().get(), "経理部");
    EXPECT_STREQ(p.child("cp:keywords").text().get(), "月次, 売上");
    EXPECT_STREQ(p.child("dc:description").text().get(), "「帳票」の雛形");
    EXPECT_STREQ(p.child("cp:category").text().get(), "帳票");
    for (const char* date : {"dcterms:created", "dcterms:modified"}) {
        const std::string value = p.child(date).text().get();
        EXPECT_GE(value, before) << date;
        EXPECT_LE(value, after) << date;
    }
    EXPECT_STREQ(
        parse(package, "docProps/app.xml").document_element().child("Application").text().get(),
        "Sorbel");

    // Without a properties part the workbook still has its own, and nothing is told.
    const fs::path bare = without(edited, "docProps/core.xml", folder.path / "TMP-10P.xlsx");
    const auto warnings = build(bare, folder.path / "bare.xlsx", {10});
    EXPECT_EQ(warnings.size(), 1u);  // the root relationship points to the part it lacks
    const ooxml::PackageReader bare_book(folder.path / "bare.xlsx");
    EXPECT_FALSE(parse(bare_book, "docProps/core.xml").document_element().child("dc:title"));
    EXPECT_EQ(test_support::ooxml_violations({book, folder.path / "bare.xlsx"}), "");
}

}  // namespace
