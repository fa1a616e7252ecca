#include "sorbel/workbook/udstring_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/run_time_error.h"
#include "base/whole_file.h"

namespace {

using workbook::UdStringRecord;

std::filesystem::path scratch_folder(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("udstring_test_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(udstring_file, records_round_trip_as_six_integers_a_line) {
    const auto dir = scratch_folder("round_trip");
    workbook::UdStringWriter writer;
    writer.add({1, 5, 1, 11, 2, 1});
    writer.add({3, 70000, 12, 1, 4, 2});
    writer.save(dir / "UDSTRING.DAT");
    EXPECT_EQ(base::load_file(dir / "UDSTRING.DAT"), "1,5,1,11,2,1\r\n3,70000,12,1,4,2\r\n");
    const auto records = workbook::load_udstring(dir / "UDSTRING.DAT");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1], (UdStringRecord{3, 70000, 12, 1, 4, 2}));

    // An empty run list is an empty file, which is not a missing one.
    workbook::UdStringWriter().save(dir / "UDSTRING.DAT");
    EXPECT_TRUE(workbook::load_udstring(dir / "UDSTRING.DAT").empty());
    std::filesystem::remove_all(dir);
}

TEST(udstring_file, reads_lf_lines_blanks_and_blank_lines) {
    const auto records = workbook::parse_udstring(" 1 , 2,3,4,5,-6\n\n\r\n2,2,2,2,2,2");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (UdStringRecord{1, 2, 3, 4, 5, -6}));
}

TEST(udstring_file, bad_records_and_a_missing_file_are_errors) {
    for (const char* bytes : {"1,2,3,4,5\r\n", "1,2,3,4,5,6,7\r\n", "1,2,x,4,5,6\r\n",
                              "1,2,3,4,5,99999999999\r\n", "1,2,,4,5,6\r\n"}) {
        try {
            workbook::parse_udstring(std::string("1,1,1,1,1,1\r\n") + bytes);
            ADD_FAILURE() << bytes;
        } catch (const base::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_NE(e.context().find("line 2, byte 13"), std::string::npos) << e.context();
        }
    }
    const auto dir = scratch_folder("missing");
    try {
        workbook::load_udstring(dir / "UDSTRING.DAT");
        ADD_FAILURE();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 53);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
