// Every kind of document the programs make, validated part by part against the ECMA-376 and OPC
// schemas and the package rules (tests/ooxml_check.py): the bundled sample, which has tables,
// character runs, figures and a bitmap, as Word documents with tables as tables and as drawings,
// split and whole, and as workbooks narrow and wide with one and fifty pages a sheet; the eight
// templates; the templates as users edit them and a workbook built on one.
#include "tests/ooxml_conformance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/sorbel/sample_excel_job.h"

namespace {

namespace fs = std::filesystem;

class OoxmlConformance : public test_support::SampleExcelJob {
  protected:
    OoxmlConformance() { fs::create_directories(out()); }
    fs::path out() const { return scratch_.path() / "out"; }

    // varnel with `arguments`, writing `name` into out/, and the file added to the packages
    // (a split document is added by its parts).
    // The sample has characters Shift_JIS lacks, which the Word route tells (status 3).
    void make(const std::string& name, const std::string& arguments) {
        const fs::path file = out() / name;
        const int status = run("varnel", "--console --job-dir '" + job().string() + "' --output '" +
                                             file.string() + "' " + arguments);
        EXPECT_TRUE(status == 0 || status == 3) << arguments << "\n" << errors;
        if (arguments.find("--split") == std::string::npos) packages.push_back(file);
    }

    std::vector<fs::path> packages;
};

TEST_F(OoxmlConformance, every_kind_of_output_conforms) {
    make("tables.docx", "--word --tables table");
    make("drawings.docx", "--word --tables drawing");
    make("part.docx", "--word --tables table --split 2");
    for (const int part : {1, 2, 3})
        packages.push_back(out() / ("part" + std::to_string(part) + ".docx"));
    for (const char* width : {"1", "2"}) {
        for (const char* pages : {"1", "50"}) {
            make(std::string("book_") + width + "_" + pages + ".xlsx",
                 std::string("--excel --cell-width ") + width + " --sheet-pages " + pages);
        }
    }
    for (const auto& entry : fs::directory_iterator(VS_PROGRAM_DIR)) {
        if (entry.path().filename().string().starts_with("TMP-")) packages.push_back(entry.path());
    }
    for (const auto& entry : fs::directory_iterator(VS_EDITED_TEMPLATES_DIR))
        packages.push_back(entry.path());
    fs::copy_file(VS_EDITED_TEMPLATES_DIR "/TMP-10P.xlsx", bin() / "TMP-10P.xlsx",
                  fs::copy_options::overwrite_existing);
    make("edited.xlsx", "--excel --sheet-pages 1");

    EXPECT_EQ(test_support::ooxml_violations(packages), "");
}

}  // namespace
