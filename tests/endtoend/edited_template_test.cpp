// The Excel route on the 10-point template as a user edits it (make_templates --edited) in place
// of the bundled one: its title rows, print area, header logo and document properties reach
// every sheet; a template the workbook cannot follow is told, never written broken.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "platform/ooxml/package_writer.h"
#include "tests/ooxml_conformance.h"
#include "tests/sorbel/sample_excel_job.h"

namespace {

namespace fs = std::filesystem;

class EditedTemplate : public test_support::SampleExcelJob {
  protected:
    EditedTemplate() { fs::create_directories(out()); }
    fs::path out() const { return scratch_.path() / "out"; }

    void use_template(const fs::path& file) {
        fs::copy_file(file, bin() / "TMP-10P.xlsx", fs::copy_options::overwrite_existing);
    }
    int varnel(const fs::path& book, const std::string& arguments) {
        return run("varnel", "--console --excel --job-dir '" + job().string() + "' --output '" +
                                 book.string() + "' " + arguments);
    }
};

TEST_F(EditedTemplate, every_sheet_repeats_the_title_rows_shows_the_logo_and_keeps_the_properties) {
    use_template(VS_EDITED_TEMPLATES_DIR "/TMP-10P.xlsx");
    const fs::path book = out() / "Book1.xlsx";
    ASSERT_EQ(varnel(book, "--sheet-pages 2"), 0) << errors;
    const std::string command =
        "/usr/bin/python3 '" VS_SOURCE_DIR "/tests/endtoend/check_edited_workbook.py' '" +
        book.string() + "' '" VS_SOURCE_DIR "/tests/data/logo.png' '" +
        (scratch_.path() / "render").string() + "' 'Page 1～2' 'Page 3～4' 'Page 5～5'";
    fs::create_directories(scratch_.path() / "render");
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(EditedTemplate, what_a_flawed_template_loses_is_told_and_the_workbook_stays_valid) {
    use_template(VS_EDITED_TEMPLATES_DIR "/TMP-10P-flawed.xlsx");
    const fs::path book = out() / "Book1.xlsx";
    EXPECT_EQ(varnel(book, "--sheet-pages 2"), 3) << errors;
    for (const char* told : {"テンプレート TMP-10P.xlsx のシート「1」の名前 Broken を省きました",
                             "テンプレート TMP-10P.xlsx のシート「1」の印刷範囲 1!$A$1:$CZ$65",
                             "テンプレート TMP-10P.xlsx の名前 Orphan を省きました"}) {
        EXPECT_NE(errors.find(told), std::string::npos) << told << "\n" << errors;
    }
    EXPECT_EQ(test_support::ooxml_violations({book}), "");
}

TEST_F(EditedTemplate, a_template_without_a_worksheet_ends_with_a_message_naming_it) {
    ooxml::PackageWriter package(bin() / "TMP-10P.xlsx");
    package.add("[Content_Types].xml",
                R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)");
    package.add(
        "_rels/.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)");
    package.add(
        "xl/workbook.xml",
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets/></workbook>)");
    package.add(
        "xl/_rels/workbook.xml.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"/>)");
    package.commit();
    const fs::path book = out() / "Book1.xlsx";
    EXPECT_EQ(varnel(book, "--sheet-pages 2"), 1) << errors;
    EXPECT_NE(errors.find("TMP-10P.xlsx: ワークシートがありません"), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(book));
}

}  // namespace
