#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "platform/excel/excel.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "tests/platform/excel/sample_workbook.h"
#include "tests/platform/ooxml/zip_entries.h"
#include "tests/platform/os/scratch_folder.h"

namespace {

using excel_test::parse;
using excel_test::read_package;

constexpr const char* sheet1 = "xl/worksheets/sheet1.xml";
constexpr const char* sheet2 = "xl/worksheets/sheet2.xml";
constexpr const char* sheet3 = "xl/worksheets/sheet3.xml";
constexpr const char* shared = "xl/sharedStrings.xml";

class ExcelWorkbook : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = excel_test::fresh_folder(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        book_ = folder_ / "Book1.xlsx";
        excel_test::write_sample(book_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    int error_of(auto&& call, std::string* context = nullptr) {
        try {
            call();
        } catch (const base::RunTimeError& e) {
            if (context != nullptr) *context = e.context();
            return e.number();
        }
        return 0;
    }

    std::filesystem::path folder_;
    std::filesystem::path book_;
};

// The text and the run properties of each run of a string item.
std::string runs_of(pugi::xml_node si) {
    std::string out;
    for (const pugi::xml_node child : si.children()) {
        if (std::string_view(child.name()) == "t")
            out += std::string("[") + child.text().get() + "]";
        if (std::string_view(child.name()) != "r") continue;
        out += "[";
        for (const pugi::xml_node p : child.child("rPr").children()) {
            out += std::string(p.name()) + (p.attribute("val") ? "=" : "") +
                   p.attribute("val").value() + " ";
        }
        out += std::string("|") + child.child("t").text().get() + "]";
    }
    return out;
}

TEST_F(ExcelWorkbook, runs_inside_cells_keep_the_cell_font_elsewhere) {
    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(book_);
    excel::Worksheet data = book.Worksheets(1);
    excel::Font up = data.Cells(1, 1).Characters(2, 1).Font();
    up.Superscript(true);
    up.Size(6);
    up.Name("ＭＳ 明朝");
    // A second run in the same cell, reaching past its end: small, not lowered.
    excel::Font small = data.Cells(1, 1).Characters(9, 5).Font();
    small.Size(7);
    small.Name("ＭＳ 明朝");
    // One of two cells showing the same string; a run over existing rich text.
    data.Cells(2, 1).Characters(1, 3).Font().Superscript(true);
    data.Cells(4, 1).Characters(2, 2).Font().Size(8);
    // A number and an empty cell have no characters: nothing happens.
    data.Cells(3, 3).Characters(1, 1).Font().Superscript(true);
    data.Cells(9, 9).Characters(1, 1).Font().Superscript(true);
    book.SaveAs(book_, excel::xlNoChange);
    book.Close();
    app.Quit();

    const auto package = read_package(book_);
    const auto sheet = parse(package.parts.at(sheet1));
    const auto sst = parse(package.parts.at(shared));
    EXPECT_EQ(runs_of(excel_test::string_item_of(sheet, sst, "A1")),
              "[|m][b sz=6 color rFont=ＭＳ 明朝 family=2 vertAlign=superscript |2]"
              "[| and x][b sz=7 color rFont=ＭＳ 明朝 family=2 |10]");
    EXPECT_EQ(runs_of(excel_test::string_item_of(sheet, sst, "A2")),
              "[sz=11 color rFont=Calibri family=2 scheme=minor vertAlign=superscript |sha][|red]");
    EXPECT_EQ(runs_of(excel_test::string_item_of(sheet, sst, "B2")), "[shared]");
    EXPECT_EQ(runs_of(excel_test::string_item_of(sheet, sst, "A4")),
              "[b sz=11 color rFont=Calibri family=2 scheme=minor |a]"
              "[b sz=8 color rFont=Calibri family=2 scheme=minor |b]"
              "[sz=8 color rFont=Calibri family=2 scheme=minor |c]"
              "[sz=11 color rFont=Calibri family=2 scheme=minor |d]");
    // The other sheet's cell still shows the item B2 shows.
    EXPECT_EQ(runs_of(excel_test::string_item_of(parse(package.parts.at(sheet2)), sst, "A1")),
              "[shared]");
    const pugi::xml_node root = sst.document_element();
    EXPECT_EQ(root.attribute("uniqueCount").as_uint(),
              static_cast<unsigned>(
                  std::distance(root.children("si").begin(), root.children("si").end())));
}

TEST_F(ExcelWorkbook, a1_on_every_visible_sheet_and_the_first_tab_active) {
    const auto before = read_package(book_);
    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(book_);
    for (std::size_t i = 1; i <= book.WorksheetsCount(); ++i) {
        const std::string name = book.Worksheets(i).Name();
        if (!book.Sheets(name).Visible()) continue;
        book.Sheets(name).Select();
        book.Sheets(name).Range("A1").Select();
    }
    book.Sheets(1).Select();
    book.SaveAs(book_);
    app.Quit();

    const auto after = read_package(book_);
    EXPECT_EQ(after.order, before.order);
    const auto workbook = parse(after.parts.at("xl/workbook.xml"));
    EXPECT_STREQ(workbook.select_node("//workbookView").node().attribute("activeTab").value(), "0");
    const auto first_sheet = parse(after.parts.at(sheet1));
    const auto data = first_sheet.select_node("//sheetView").node();
    EXPECT_STREQ(data.attribute("tabSelected").value(), "1");
    EXPECT_STREQ(data.child("selection").attribute("activeCell").value(), "A1");
    const auto last_sheet = parse(after.parts.at(sheet3));
    const auto last = last_sheet.select_node("//sheetView").node();
    EXPECT_FALSE(last.attribute("tabSelected"));
    EXPECT_STREQ(last.child("selection").attribute("sqref").value(), "A1");
    // The hidden sheet keeps its selection, and every part nothing changed keeps its bytes.
    for (const auto& [name, bytes] : before.parts) {
        if (name == sheet1 || name == sheet3 || name == "xl/workbook.xml") continue;
        EXPECT_EQ(after.parts.at(name), bytes) << name;
    }
}

TEST_F(ExcelWorkbook, a_workbook_saved_without_changes_keeps_every_part) {
    const auto before = read_package(book_);
    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(book_);
    book.Worksheets(1).Cells(1, 1).Characters(20, 1).Font().Superscript(true);
    book.SaveAs(folder_ / "copy.xlsx");
    const auto after = read_package(folder_ / "copy.xlsx");
    EXPECT_EQ(after.order, before.order);
    EXPECT_EQ(after.parts, before.parts);
}

// The report library leaves the sheets of a workbook that is saved again at once stored: the
// save deflates them, changed or not, as a workbook keeps its sheets.
TEST_F(ExcelWorkbook, sheets_left_stored_are_deflated_when_the_workbook_is_saved) {
    const auto stored_book = folder_ / "stored.xlsx";
    {
        const ooxml::PackageReader source(book_);
        auto spool = std::make_shared<ooxml::PartSpool>();
        std::deque<ooxml::SpooledPart> kept;
        ooxml::PackageWriter writer(stored_book, spool);
        for (const std::string& name : source.part_names()) {
            if (name.starts_with("xl/worksheets/sheet")) {
                spool->store(source.read(name), kept.emplace_back());
                writer.add_stored(name, kept.back());
            } else {
                writer.add_copy(source, name);
            }
        }
        writer.commit();
    }
    const auto methods = [](const std::filesystem::path& file) {
        std::string out;
        for (const auto& e : test_support::stored_entries(excel_test::read_file(file))) {
            if (e.name.starts_with("xl/worksheets/sheet")) out += std::to_string(e.method);
        }
        return out;
    };
    ASSERT_EQ(methods(stored_book), "000");
    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(stored_book);
    book.Worksheets(1).Cells(1, 1).Characters(1, 1).Font().Superscript(true);
    book.SaveAs(folder_ / "saved.xlsx");
    EXPECT_EQ(methods(folder_ / "saved.xlsx"), "888");
    const auto before = read_package(book_);
    const auto after = read_package(folder_ / "saved.xlsx");
    EXPECT_EQ(after.order, before.order);
    for (const char* sheet : {sheet1, sheet2, sheet3}) {
        EXPECT_EQ(after.parts.at(sheet), before.parts.at(sheet)) << sheet;
    }
    EXPECT_NE(after.parts.at(shared), before.parts.at(shared));  // A1's runs
}

TEST_F(ExcelWorkbook, failures_carry_excels_numbers_and_leave_the_file_alone) {
    const std::string original = excel_test::read_file(book_);
    excel::Application app;
    EXPECT_EQ(error_of([&] { app.Workbooks().Open(folder_ / "missing.xlsx"); }), 1004);
    std::ofstream(folder_ / "text.xlsx") << "not a workbook";
    EXPECT_EQ(error_of([&] { app.Workbooks().Open(folder_ / "text.xlsx"); }), 1004);

    excel::Workbook& book = app.Workbooks().Open(book_);
    EXPECT_EQ(error_of([&] { book.Worksheets(4); }), 9);
    EXPECT_EQ(error_of([&] { book.Worksheets(0); }), 9);
    EXPECT_EQ(error_of([&] { book.Sheets("Nope"); }), 9);
    EXPECT_EQ(book.Sheets("data").Name(), "Data");
    EXPECT_EQ(error_of([&] { book.Worksheets(1).Cells(0, 1); }), 1004);
    EXPECT_EQ(error_of([&] { book.Worksheets(1).Cells(1, 16385); }), 1004);
    EXPECT_EQ(error_of([&] { book.Worksheets(1).Range("A1:B"); }), 1004);
    // "Last" is the active sheet: a range of another one cannot be selected, nor a hidden sheet.
    EXPECT_EQ(error_of([&] { book.Worksheets(1).Range("A1").Select(); }), 1004);
    EXPECT_EQ(error_of([&] { book.Sheets("Hidden").Select(); }), 1004);

    book.Worksheets(1).Cells(1, 1).Characters(1, 1).Font().Superscript(true);
    // Alerts on: the existing file is not replaced without asking.
    EXPECT_EQ(error_of([&] { book.SaveAs(book_); }), 1004);
    app.DisplayAlerts = false;
    EXPECT_NE(error_of([&] { book.SaveAs(folder_ / "no such folder" / "Book1.xlsx"); }), 0);
    EXPECT_EQ(excel_test::read_file(book_), original);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "no such folder"));
    book.Close();
    EXPECT_EQ(error_of([&] { book.Worksheets(1); }), 91);
}

// Stores one part of the workbook uncompressed and packs another at the fastest level, as other
// programs do: a part deflated again by the save would no longer match them.
void repack(const std::filesystem::path& file) {
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), 0, &error);
    ASSERT_NE(archive, nullptr);
    const zip_int64_t core = zip_name_locate(archive, "docProps/core.xml", 0);
    const zip_int64_t theme = zip_name_locate(archive, "xl/theme/theme1.xml", 0);
    ASSERT_GE(core, 0);
    ASSERT_GE(theme, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(core), ZIP_CM_STORE, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(theme), ZIP_CM_DEFLATE, 1);
    ASSERT_EQ(zip_close(archive), 0);
}

// Every part the save did not write anew is in the new file exactly as it was stored.
void expect_copied_as_stored(const std::filesystem::path& original,
                             const std::filesystem::path& saved,
                             const std::vector<std::string>& rewritten) {
    const auto before = test_support::stored_entries(excel_test::read_file(original));
    const auto after = test_support::stored_entries(excel_test::read_file(saved));
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].name, before[i].name);
        if (std::find(rewritten.begin(), rewritten.end(), before[i].name) != rewritten.end())
            continue;
        EXPECT_EQ(after[i].method, before[i].method) << before[i].name;
        EXPECT_EQ(after[i].crc, before[i].crc) << before[i].name;
        EXPECT_EQ(after[i].data, before[i].data) << before[i].name;
    }
}

TEST_F(ExcelWorkbook, saved_twice_over_its_own_file_copying_what_did_not_change) {
    repack(book_);
    const std::filesystem::path original = folder_ / "original.xlsx";
    std::filesystem::copy_file(book_, original);
    struct stat opened;
    ASSERT_EQ(::stat(book_.c_str(), &opened), 0);

    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(book_);
    book.Worksheets(1).Cells(1, 1).Characters(2, 1).Font().Superscript(true);
    book.SaveAs(book_);
    struct stat saved;
    ASSERT_EQ(::stat(book_.c_str(), &saved), 0);
    EXPECT_NE(saved.st_ino, opened.st_ino);

    // The second save starts from the first one's changes, and still copies from the file the
    // workbook was opened from, which no longer has a name.
    book.Worksheets(1).Cells(4, 1).Characters(2, 2).Font().Size(8);
    book.Sheets(1).Select();
    book.SaveAs(book_);
    book.SaveAs(folder_ / "copy.xlsx");
    app.Quit();

    EXPECT_EQ(excel_test::read_file(folder_ / "copy.xlsx"), excel_test::read_file(book_));
    expect_copied_as_stored(original, book_, {sheet1, sheet3, shared, "xl/workbook.xml"});
    const auto package = read_package(book_);
    const auto sheet = parse(package.parts.at(sheet1));
    const auto sst = parse(package.parts.at(shared));
    EXPECT_EQ(runs_of(excel_test::string_item_of(sheet, sst, "A1")),
              "[|m][b sz=10 color rFont=MS Gothic family=2 vertAlign=superscript |2][| and x10]");
    EXPECT_EQ(runs_of(excel_test::string_item_of(sheet, sst, "A4")),
              "[b sz=11 color rFont=Calibri family=2 scheme=minor |a]"
              "[b sz=8 color rFont=Calibri family=2 scheme=minor |b]"
              "[sz=8 color rFont=Calibri family=2 scheme=minor |c]"
              "[sz=11 color rFont=Calibri family=2 scheme=minor |d]");
}

TEST_F(ExcelWorkbook, a_damaged_part_found_when_copied_leaves_every_file_as_it_was) {
    std::string bytes = excel_test::read_file(book_);
    const std::size_t at =
        test_support::find_entry(test_support::stored_entries(bytes), "docProps/app.xml").offset +
        20;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x40);
    test_support::ScratchFolder::write_file(book_, bytes);

    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(book_);
    book.Worksheets(1).Cells(1, 1).Characters(2, 1).Font().Superscript(true);
    std::string context;
    EXPECT_EQ(error_of([&] { book.SaveAs(folder_ / "copy.xlsx"); }, &context), 1004);
    EXPECT_NE(context.find("docProps/app.xml"), std::string::npos) << context;
    EXPECT_EQ(error_of([&] { book.SaveAs(book_); }), 1004);
    app.Quit();
    EXPECT_EQ(excel_test::read_file(book_), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

}  // namespace
