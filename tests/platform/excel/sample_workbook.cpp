#include "tests/platform/excel/sample_workbook.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <fstream>
#include <sstream>

#include "platform/ooxml/package_reader.h"

namespace excel_test {

void write_sample(const std::filesystem::path& file) {
    lxw_workbook* book = workbook_new(file.c_str());
    lxw_format* gothic = workbook_add_format(book);
    format_set_bold(gothic);
    format_set_font_name(gothic, "MS Gothic");
    format_set_font_size(gothic, 10);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);

    lxw_worksheet* data = workbook_add_worksheet(book, "Data");
    worksheet_write_string(data, 0, 0, "m2 and x10", gothic);
    worksheet_write_string(data, 1, 0, "shared", nullptr);
    worksheet_write_string(data, 1, 1, "shared", nullptr);
    worksheet_write_number(data, 2, 2, 5, nullptr);
    lxw_rich_string_tuple first{bold, const_cast<char*>("ab")};
    lxw_rich_string_tuple second{nullptr, const_cast<char*>("cd")};
    lxw_rich_string_tuple* rich[] = {&first, &second, nullptr};
    worksheet_write_rich_string(data, 3, 0, rich, nullptr);

    lxw_worksheet* hidden = workbook_add_worksheet(book, "Hidden");
    worksheet_write_string(hidden, 0, 0, "shared", nullptr);
    worksheet_set_selection(hidden, 3, 3, 3, 3);
    worksheet_hide(hidden);

    lxw_worksheet* last = workbook_add_worksheet(book, "Last");
    worksheet_write_string(last, 0, 0, "x", nullptr);
    worksheet_set_selection(last, 4, 2, 4, 2);
    worksheet_activate(last);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

std::filesystem::path fresh_folder(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("excel_test_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

Package read_package(const std::filesystem::path& file) {
    const ooxml::PackageReader reader(file);
    Package package;
    for (const std::string& name : reader.part_names()) {
        package.order.push_back(name);
        package.parts[name] = reader.read(name);
    }
    return package;
}

pugi::xml_document parse(const std::string& xml) {
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(
        xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    EXPECT_TRUE(result) << result.description();
    return document;
}

pugi::xml_node string_item_of(const pugi::xml_document& sheet, const pugi::xml_document& sst,
                              const std::string& cell) {
    const pugi::xml_node c =
        sheet.select_node(("//*[local-name()='c'][@r='" + cell + "']").c_str()).node();
    EXPECT_STREQ(c.attribute("t").value(), "s") << cell;
    const int index = std::stoi(c.child_value("v"));
    int i = 0;
    for (const pugi::xml_node si : sst.document_element().children("si")) {
        if (i++ == index) return si;
    }
    ADD_FAILURE() << cell << " points past the shared strings";
    return {};
}

std::string read_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace excel_test
