#include <gtest/gtest.h>

#include <vector>

#include "platform/xlsreport/xls_report.h"

namespace {

using xlsreport::XlsReport;
namespace error = xlsreport::error;

TEST(xlsreport_calls, a_missing_template_cannot_be_opened) {
    XlsReport report;
    ASSERT_EQ(report.PutFileName("/nonexistent/TMP-12P.xlsx"), 1);
    EXPECT_EQ(report.StartFile(), 0);
    EXPECT_EQ(report.GetErrorNo(), error::file_cannot_open);
    std::string text;
    EXPECT_GT(report.GetErrorMessage(text), 0);
    EXPECT_NE(text.find("/nonexistent/TMP-12P.xlsx"), std::string::npos);
}

TEST(xlsreport_calls, unchecked_calls_raise_the_error_callback) {
    XlsReport report;
    std::vector<std::int32_t> raised;
    report.SetOnErrorProc([&](std::int32_t& number, XlsReport& r) {
        EXPECT_EQ(&r, &report);
        raised.push_back(number);
    });
    EXPECT_EQ(report.Pos(0, 0, -1, -1), 0);
    EXPECT_EQ(report.GetErrorNo(), error::not_open);
    EXPECT_EQ(report.OutFile("/tmp/x.xlsx", -1), 0);  // tested by its caller: not raised
    EXPECT_EQ(report.GetErrorNo(), error::start_out_unpaired);
    EXPECT_EQ(raised, std::vector<std::int32_t>{error::not_open});
}

TEST(xlsreport_calls, nothing_works_after_release) {
    XlsReport report;
    EXPECT_EQ(report.Release(), 1);
    EXPECT_EQ(report.Release(), 0);
    EXPECT_EQ(report.GetErrorNo(), error::invalid_handle);
    EXPECT_EQ(report.PutFileName("a.xlsx"), 0);
}

}  // namespace
