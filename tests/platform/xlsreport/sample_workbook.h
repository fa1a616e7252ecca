// A workbook with one of everything the report library writes, built on a real template: the
// shared subject of the structure checks and the LibreOffice checks.
#pragma once

#include <filesystem>
#include <string>

#include "platform/xlsreport/xls_report.h"

namespace xlsreport_test {

// The template the program's folder holds for 12 pt, half-width columns.
std::string template_12p();

// The bytes of an enhanced metafile of width x height hundredths of a millimetre: a frame and
// one diagonal, written into `folder`.
std::string metafile(const std::filesystem::path& folder, int width, int height);

// Two sheets, "Page 1～2" and "Page 3～3"; see the source for what lies where. Fails the
// calling test when a call fails.
void build_sample(xlsreport::XlsReport& report, const std::filesystem::path& folder);

}  // namespace xlsreport_test
