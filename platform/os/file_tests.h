// File-system tests the dialog makes before it accepts an output path.
#pragma once

#include <filesystem>

namespace os {

// True when `folder` names an existing folder (following symbolic links).
bool folder_exists(const std::filesystem::path& folder);

// True when an office program holds `document` open: Microsoft Office leaves "~$" + name and
// LibreOffice ".~lock." + name + "#" beside the document it edits.
bool office_lock_exists(const std::filesystem::path& document);

}  // namespace os
