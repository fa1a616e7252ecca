// The workbook build: reads PRN_CHAR once and builds the workbook on the template through the
// report library, one band of rows per printed page, a new sheet every Sheet_Page pages.
#pragma once

#include "jobfiles/handoff_files.h"
#include "sorbel/workbook/stage_view.h"
#include "sorbel/workbook/workbook_settings.h"

namespace workbook {

// Rows prepared on a sheet for each page.
inline constexpr int PageGridRows = jobfiles::sheet_grid_rows;

// Builds the pages Start_Page..End_Page into Xls_File with the block metafiles of META_FILE/
// and writes the character runs of its lines and tables into UDSTRING.DAT. Every failure is
// shown through `view` before it returns; the workbook file is then complete or absent.
StageOutcome Make_XlsFile(const WorkbookSettings& settings, StageView& view);

}  // namespace workbook
