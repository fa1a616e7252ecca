// The last stage of the Excel route: the superscript and small runs that the report library
// could not write are applied to the saved workbook, every visible sheet gets its cursor on
// A1, the first sheet becomes the active one, and the workbook is saved under its own name.
#pragma once

#include "sorbel/workbook/stage_view.h"
#include "sorbel/workbook/workbook_settings.h"

namespace workbook {

// Reads UDSTRING.DAT of the job folder. Without a record the workbook is left exactly as the
// build saved it. On failure the user has seen the "Error - Set_UD" box, and the workbook on
// disk is still the one the build saved. A missing or unreadable UDSTRING.DAT is a failure,
// never an empty list.
StageOutcome Set_UpDown_Excel(const WorkbookSettings& settings, StageView& view);

}  // namespace workbook
