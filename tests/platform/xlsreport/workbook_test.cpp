#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <utility>
#include <vector>

#include "base/whole_file.h"
#include "platform/ooxml/media.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/part_spool.h"
#include "platform/xlsreport/picture_media.h"
#include "tests/platform/ooxml/zip_entries.h"
#include "tests/platform/xlsreport/sample_workbook.h"

namespace {

using xlsreport::XlsReport;
namespace error = xlsreport::error;

struct Folder {
    Folder() {
        path = std::filesystem::temp_directory_path() /
               ("xlsreport_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::size_t files() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path)) ++n;
        return n;
    }
    std::filesystem::path path;
};

pugi::xml_document parse(const ooxml::PackageReader& package, std::string_view part) {
    pugi::xml_document document;
    const std::string xml = package.read(part);
    EXPECT_TRUE(document.load_buffer(xml.data(), xml.size())) << part;
    return document;
}

TEST(xlsreport_workbook, pictures_are_metafiles_anchored_at_their_cell) {
    Folder folder;
    XlsReport report;
    xlsreport_test::build_sample(report, folder.path);
    const auto file = folder.path / "out.xlsx";
    ASSERT_EQ(report.OutFile(file.string(), -1), 1);
    ASSERT_EQ(report.Release(), 1);

    const ooxml::PackageReader package(file);
    // The same metafile on both sheets is stored once.
    EXPECT_TRUE(package.contains("xl/media/image1.emf"));
    EXPECT_FALSE(package.contains("xl/media/image2.emf"));
    EXPECT_EQ(package.read("xl/media/image1.emf"),
              xlsreport_test::metafile(folder.path, 5000, 2000));
    const auto types = parse(package, "[Content_Types].xml");
    EXPECT_TRUE(
        types.select_node("//*[local-name()='Default'][@Extension='emf']"
                          "[@ContentType='image/x-emf']"));
    for (const char* drawing : {"xl/drawings/drawing1.xml", "xl/drawings/drawing2.xml"}) {
        const auto d = parse(package, drawing);
        const pugi::xml_node anchor = d.document_element().first_child();
        EXPECT_STREQ(anchor.name(), "xdr:oneCellAnchor");
        const pugi::xml_node from = anchor.child("xdr:from");
        EXPECT_EQ(from.child("xdr:col").text().as_int(), 0);
        EXPECT_EQ(from.child("xdr:row").text().as_int(), 1);
        EXPECT_EQ(from.child("xdr:colOff").text().as_llong(), 8890);  // 0.7 pt
        EXPECT_EQ(from.child("xdr:rowOff").text().as_llong(), 0);
        EXPECT_EQ(anchor.child("xdr:ext").attribute("cx").as_llong(), 1799971);  // 141.73 pt
        EXPECT_EQ(anchor.child("xdr:ext").attribute("cy").as_llong(), 719963);   // 56.69 pt
        const auto rels =
            parse(package, std::string("xl/drawings/_rels/") +
                               (drawing + std::string_view("xl/drawings/").size()) + ".rels");
        EXPECT_STREQ(rels.document_element().first_child().attribute("Target").value(),
                     "../media/image1.emf");
    }
}

TEST(xlsreport_workbook, a_bitmap_lies_under_the_metafile_drawn_after_it) {
    Folder folder;
    XlsReport report;
    ASSERT_EQ(report.PutFileName(xlsreport_test::template_12p()), 1);
    ASSERT_EQ(report.StartFile(), 1);
    ASSERT_EQ(report.PageBegin("sheet1", "1"), 1);
    ASSERT_EQ(report.Pos(3, 4, -1, -1), 1);
    // A 1 x 1 PNG.
    const std::string png(
        "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x01"
        "\x00\x00\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xDE\x00\x00\x00\x0C\x49\x44\x41"
        "\x54\x78\x9C\x63\xF8\xCF\xC0\x00\x00\x03\x01\x01\x00\xC9\xFE\x92\xEF\x00\x00\x00"
        "\x00\x49\x45\x4E\x44\xAE\x42\x60\x82",
        69);
    ASSERT_EQ(report.CanvasDraw(png, 0, 0, 100, 50), 1);
    ASSERT_EQ(report.CanvasDraw(xlsreport_test::metafile(folder.path, 3000, 1000), 0, 0, 100, 50),
              1);
    EXPECT_EQ(report.CanvasDraw("not a picture", 0, 0, 10, 10), 0);
    EXPECT_EQ(report.GetErrorNo(), error::data_kind);
    ASSERT_EQ(report.PageEnd(), 1);
    const auto file = folder.path / "out.xlsx";
    ASSERT_EQ(report.OutFile(file.string(), -1), 1);

    const ooxml::PackageReader package(file);
    const auto types = parse(package, "[Content_Types].xml");
    EXPECT_TRUE(types.select_node("//*[@Extension='png'][@ContentType='image/png']"));
    const auto rels = parse(package, "xl/drawings/_rels/drawing1.xml.rels");
    const auto drawing = parse(package, "xl/drawings/drawing1.xml");
    std::vector<std::string> order;
    for (const pugi::xml_node anchor : drawing.document_element().children()) {
        const char* id =
            anchor.select_node(".//*[local-name()='blip']").node().attribute("r:embed").value();
        order.push_back(rels.select_node(("//*[@Id='" + std::string(id) + "']").c_str())
                            .node()
                            .attribute("Target")
                            .value());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"../media/image1.png", "../media/image2.emf"}));
}

TEST(xlsreport_workbook, text_that_xml_cannot_hold_still_makes_a_valid_part) {
    Folder folder;
    XlsReport report;
    xlsreport_test::build_sample(report, folder.path);
    const auto file = folder.path / "out.xlsx";
    ASSERT_EQ(report.OutFile(file.string(), -1), 1);
    const ooxml::PackageReader package(file);
    const auto sheet = parse(package, "xl/worksheets/sheet1.xml");
    const pugi::xml_node cell = sheet.select_node("//*[local-name()='c'][@r='A3']").node();
    // The control character and the lone lead byte become U+FFFD; Excel's own escape stays text.
    EXPECT_STREQ(cell.child("is").child("t").text().get(),
                 "<&>\"' \xEF\xBF\xBD _x005F_x0041_ \xEF\xBD\xB1\xEF\xBF\xBD");
}

TEST(xlsreport_workbook, text_that_looks_like_a_formula_is_marked_as_typed_text) {
    Folder folder;
    XlsReport report;
    ASSERT_EQ(report.PutFileName(xlsreport_test::template_12p()), 1);
    ASSERT_EQ(report.StartFile(), 1);
    ASSERT_EQ(report.PageBegin("sheet1", "1"), 1);
    ASSERT_EQ(report.Pos(0, 0, -1, -1), 1);
    ASSERT_EQ(report.PutValueString("=SUM(A2:A3)"), 1);
    ASSERT_EQ(report.Pos(0, 1, -1, -1), 1);
    ASSERT_EQ(report.PutValueString("=1"), 1);
    ASSERT_EQ(report.PutValueString("1="), 1);  // written over: no longer formula-like
    ASSERT_EQ(report.PageEnd(), 1);
    const auto file = folder.path / "out.xlsx";
    ASSERT_EQ(report.OutFile(file.string(), -1), 1);

    const ooxml::PackageReader package(file);
    const auto sheet = parse(package, "xl/worksheets/sheet1.xml");
    const auto styles = parse(package, "xl/styles.xml");
    const auto quote_prefixed = [&](const char* ref) {
        const pugi::xml_node cell =
            sheet.select_node(("//*[local-name()='c'][@r='" + std::string(ref) + "']").c_str())
                .node();
        EXPECT_STREQ(cell.attribute("t").value(), "inlineStr") << ref;
        const auto xfs = styles.select_nodes("//*[local-name()='cellXfs']/*[local-name()='xf']");
        const std::size_t index = cell.attribute("s").as_uint();
        return index < xfs.size() && xfs[index].node().attribute("quotePrefix").as_bool();
    };
    EXPECT_TRUE(quote_prefixed("A1"));
    EXPECT_FALSE(quote_prefixed("A2"));
}

TEST(xlsreport_workbook, progress_comes_once_per_sheet_and_the_output_repeats) {
    Folder folder;
    std::string first;
    for (int round = 0; round < 2; ++round) {
        XlsReport report;
        std::vector<std::pair<int, int>> calls;
        report.SetOnProgressProc([&](std::int32_t done, std::int32_t total, std::int16_t&) {
            calls.emplace_back(done, total);
        });
        xlsreport_test::build_sample(report, folder.path);
        const auto file = folder.path / "out.xlsx";
        ASSERT_EQ(report.OutFile(file.string(), -1), 1);
        EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
        const std::string bytes = base::load_file(file);
        if (round == 0)
            first = bytes;
        else
            EXPECT_EQ(bytes, first);
    }
}

TEST(xlsreport_workbook, sheets_go_in_stored_when_asked_and_hold_the_same) {
    Folder folder;
    std::vector<std::string> methods;
    std::vector<std::string> sheets;
    for (const std::int32_t stored : {0, -1}) {
        XlsReport report;
        xlsreport_test::build_sample(report, folder.path);
        ASSERT_EQ(report.OptionPutStoredSheets(stored), 1);
        const auto file = folder.path / ("out" + std::to_string(stored) + ".xlsx");
        ASSERT_EQ(report.OutFile(file.string(), -1), 1);
        std::string kinds;
        for (const auto& e : test_support::stored_entries(base::load_file(file))) {
            if (e.name.starts_with("xl/worksheets/sheet")) kinds += std::to_string(e.method);
        }
        methods.push_back(kinds);
        sheets.push_back(ooxml::PackageReader(file).read("xl/worksheets/sheet2.xml"));
    }
    EXPECT_EQ(methods, (std::vector<std::string>{"88", "00"}));
    EXPECT_EQ(sheets[0], sheets[1]);
    XlsReport report;
    EXPECT_EQ(report.OptionPutStoredSheets(1), 0);
    EXPECT_EQ(report.GetErrorNo(), error::parameter);
}

TEST(xlsreport_workbook, pictures_let_go_before_their_spool_are_deflated_first) {
    // The spool's thread writes into the store's parts: a store that goes first (an error while
    // a sheet's pictures are drawn) must not leave it writing into freed parts.
    ooxml::PartSpool spool;
    for (int round = 0; round < 3; ++round) {
        xlsreport::detail::MediaStore media(spool);
        for (char fill = 'a'; fill < 'e'; ++fill) {
            media.add(ooxml::png_media, std::string(std::size_t{4} << 20, fill));
        }
        EXPECT_EQ(media.all().size(), 4u);
    }
    spool.wait();
}

TEST(xlsreport_workbook, a_cancelled_save_leaves_no_file) {
    Folder folder;
    const auto file = folder.path / "out.xlsx";
    for (const std::int32_t stop_at : {1, 2}) {
        XlsReport report;
        report.SetOnProgressProc([&](std::int32_t done, std::int32_t, std::int16_t& cancel) {
            if (done == stop_at) cancel = -1;
        });
        xlsreport_test::build_sample(report, folder.path);
        const std::size_t before = folder.files();
        EXPECT_EQ(report.OutFile(file.string(), -1), 0);
        EXPECT_EQ(report.GetErrorNo(), error::save_stopped);
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(folder.files(), before);  // no temporary file either
        EXPECT_EQ(report.Release(), 1);
    }
    // A cancelled save keeps the file it would have replaced.
    base::replace_file(file, std::string_view("old"));
    XlsReport report;
    report.SetOnProgressProc([](std::int32_t, std::int32_t, std::int16_t& cancel) { cancel = -1; });
    xlsreport_test::build_sample(report, folder.path);
    EXPECT_EQ(report.OutFile(file.string(), -1), 0);
    EXPECT_EQ(base::load_file(file), "old");
}

TEST(xlsreport_workbook, a_file_that_cannot_be_written_is_reported_and_absent) {
    Folder folder;
    XlsReport report;
    xlsreport_test::build_sample(report, folder.path);
    EXPECT_EQ(report.OutFile((folder.path / "no" / "out.xlsx").string(), -1), 0);
    EXPECT_EQ(report.GetErrorNo(), error::file_cannot_open);
    // Without leave to overwrite, an existing file stays.
    const auto file = folder.path / "out.xlsx";
    base::replace_file(file, std::string_view("old"));
    EXPECT_EQ(report.OutFile(file.string(), 0), 0);
    EXPECT_EQ(report.GetErrorNo(), error::file_cannot_open);
    EXPECT_EQ(base::load_file(file), "old");
    // The workbook is still there to be saved.
    EXPECT_EQ(report.OutFile(file.string(), -1), 1);
    EXPECT_NE(base::load_file(file), "old");
}

}  // namespace
