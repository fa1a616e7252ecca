// Workbooks written by libxlsxwriter, a writer nobody here wrote, for the stand-in to open, and
// a reader of the parts the stand-in saves.
#pragma once

#include <filesystem>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace excel_test {

// Sheets "Data" (visible), "Hidden" (hidden, selection on D4) and "Last" (the active tab, its
// selection on C5). Data: A1 "m2 and x10" in bold 10-point "MS Gothic"; A2 and B2 both
// "shared", one shared string; C3 the number 5; A4 rich text "ab" bold then "cd".
void write_sample(const std::filesystem::path& file);

// A fresh empty folder for one test.
std::filesystem::path fresh_folder(const std::string& name);

// The parts of a package, by name, and their order.
struct Package {
    std::vector<std::string> order;
    std::map<std::string, std::string> parts;
};
Package read_package(const std::filesystem::path& file);

// A part parsed; fails the test when it is not XML.
pugi::xml_document parse(const std::string& xml);

// The shared-string item a cell shows ("Data" sheet is xl/worksheets/sheet1.xml).
pugi::xml_node string_item_of(const pugi::xml_document& sheet, const pugi::xml_document& sst,
                              const std::string& cell);

std::string read_file(const std::filesystem::path& file);

}  // namespace excel_test
