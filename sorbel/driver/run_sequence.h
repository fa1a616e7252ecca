// The Excel converter's run: settings, page range, the message window, old metafiles, then the
// three stages in their fixed order.
#pragma once

#include <filesystem>

#include "platform/ui/backend.h"
#include "sorbel/driver/frm_msg.h"
#include "sorbel/driver/settings.h"

namespace driver {

inline constexpr int exit_converted = 0;
inline constexpr int exit_failed = 1;     // the reason was shown
inline constexpr int exit_cancelled = 2;  // the cancel button
// Saved, but part of the report was left out or changed; the user was told what. The same
// status as varnel's, which passes it on from a console run.
inline constexpr int exit_converted_with_warnings = 3;

enum class StageOutcome {
    completed,
    failed,     // the stage showed why
    cancelled,  // nothing more to show
};

// The three stages, supplied by the program: the driver draws and builds nothing itself.
class Stages {
  public:
    virtual ~Stages() = default;
    virtual StageOutcome Make_MetaFile(const SorbelSettings& settings, MessageWindow& window) = 0;
    virtual StageOutcome Make_XlsFile(const SorbelSettings& settings, MessageWindow& window) = 0;
    virtual StageOutcome Set_UpDown_Excel(const SorbelSettings& settings,
                                          MessageWindow& window) = 0;
};

struct Folders {
    std::filesystem::path program_dir;  // the templates
    std::filesystem::path job_dir;      // PRN_XLS, PRN_MODE, PRN_CHAR, PRN_PICT, META_FILE/
};

// Returns the program's exit status.
int run_sorbel(const Folders& folders, ui::Backend& ui, Stages& stages);

// The text of a stage's error box: the description, what the user needs to find the cause,
// and that the processing stops.
std::string error_box_text(const std::string& description, const std::string& context);

}  // namespace driver
