// The report library's error numbers as the user reads them, and the two callbacks the
// workbook build registers: errors raised inside a call, and the save's progress.
#pragma once

#include <cstdint>
#include <string>

#include "platform/xlsreport/xls_report.h"
#include "sorbel/workbook/stage_view.h"

namespace workbook {

// The Japanese text of a library error number (UTF-8); empty for a number the table lacks.
std::string ReportErrorText(std::int32_t error_no);

// The text of the box (title "Error") for a call that must succeed and returned 0; `place`,
// where the build was (in Japanese), goes on a line of its own when there is one.
std::string failed_call_text(std::int32_t error_no, const std::string& place);

// Thrown by the error callback once the user has seen the error: the build stops at once and,
// out of the library's call, gives the workbook up.
struct ReportAborted {};

// Make_XlsFile_R: shows the error, with where the build was on a line of its own, and ends the
// build (ReportAborted).
[[noreturn]] void Make_XlsFile_R(std::int32_t error_no, const std::string& place, StageView& view);

// OnReportProgress: passes a cancel request on to the save, gives the cancel button back, and
// shows each new sheet count once.
class ReportProgress {
  public:
    explicit ReportProgress(StageView& view) : view_(view) {}
    // Last_Progress = 0: the save starts.
    void reset() noexcept { Last_Progress = 0; }
    void operator()(std::int32_t sheets_done, std::int32_t sheets_total, std::int16_t& cancel);

  private:
    StageView& view_;
    std::int32_t Last_Progress = 0;
};

}  // namespace workbook
