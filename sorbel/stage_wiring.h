// How sorbel's driver hands its settings and its message window to the three stages: the one
// place where the driver's names meet the stages' names.
#pragma once

#include "graphics/metafile_pass.h"
#include "sorbel/driver/run_sequence.h"
#include "sorbel/driver/settings.h"
#include "sorbel/workbook/workbook_settings.h"

namespace sorbel {

graphics::MetafilePassSettings metafile_pass_settings(const driver::SorbelSettings& settings);
workbook::WorkbookSettings workbook_settings(const driver::SorbelSettings& settings);

// The stages as the run sequence calls them, each showing its progress in the message window.
class ProgramStages : public driver::Stages {
  public:
    driver::StageOutcome Make_MetaFile(const driver::SorbelSettings& settings,
                                       driver::MessageWindow& window) override;
    driver::StageOutcome Make_XlsFile(const driver::SorbelSettings& settings,
                                      driver::MessageWindow& window) override;
    driver::StageOutcome Set_UpDown_Excel(const driver::SorbelSettings& settings,
                                          driver::MessageWindow& window) override;
};

}  // namespace sorbel
