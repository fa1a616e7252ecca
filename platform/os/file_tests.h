// File-system tests the dialog makes before it accepts an output path.
#pragma once

#include <filesystem>
#include <optional>

namespace os {

// True when `folder` names an existing folder (following symbolic links). A path that cannot be
// examined is a base::RunTimeError naming it, not a missing folder: the user has to act on it.
bool folder_exists(const std::filesystem::path& folder);

// The lock file of an office program that holds `document` open, or nothing: Microsoft Office
// leaves "~$" + name and LibreOffice ".~lock." + name + "#" beside the document it edits.
// A crash leaves the lock behind, so the user needs its path to remove it.
std::optional<std::filesystem::path> office_lock_file(const std::filesystem::path& document);

}  // namespace os
