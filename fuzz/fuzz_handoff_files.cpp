#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/run_time_error.h"
#include "jobfiles/handoff_files.h"

namespace {

// What the dialog would write from what was read must read back the same.
void check_prn_xls_round_trip(const jobfiles::PrnXlsSettings& s) {
    if (s.workbook.find('\n') != std::string::npos ||
        (!s.workbook.empty() && s.workbook.back() == '\r')) {
        return;  // a line break inside the name cannot stay one line
    }
    const jobfiles::PrnXlsChoices c{s.Start_Page,     s.End_Page,
                                    s.workbook,       static_cast<double>(s.Sheet_Page),
                                    s.Cell_Wide != 0, s.Line_Thin != 0};
    const std::string bytes = jobfiles::format_prn_xls(c);
    const jobfiles::PrnXlsSettings back = jobfiles::parse_prn_xls(bytes);
    if (back.Start_Page != s.Start_Page || back.End_Page != s.End_Page ||
        back.workbook != s.workbook || back.Sheet_Page != s.Sheet_Page ||
        back.Cell_Wide != (s.Cell_Wide != 0 ? 1 : 0)) {
        std::abort();
    }
}

void check_path_ini_round_trip(const std::string& folder) {
    if (folder.find_first_of("\"\n") != std::string::npos) return;
    const std::string bytes = jobfiles::format_path_ini(folder);
    if (jobfiles::parse_path_ini(bytes) != folder) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        check_prn_xls_round_trip(jobfiles::parse_prn_xls(bytes));
    } catch (const base::RunTimeError&) {
    }
    try {
        check_path_ini_round_trip(jobfiles::parse_path_ini(bytes));
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
