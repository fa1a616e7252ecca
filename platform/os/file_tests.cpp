#include "platform/os/file_tests.h"

#include <system_error>

#include "base/whole_file.h"

namespace os {

/* ---------------------------------------------------------------- folder_exists */
bool folder_exists(const std::filesystem::path& folder) {
    return !folder.empty() && base::path_kind(folder) == base::PathKind::folder;
}

/* ---------------------------------------------------------------- office_lock_file */
std::optional<std::filesystem::path> office_lock_file(const std::filesystem::path& document) {
    const auto name = document.filename().string();
    if (name.empty()) return std::nullopt;
    const auto folder = document.parent_path();
    for (const auto& lock : {folder / ("~$" + name), folder / (".~lock." + name + "#")}) {
        std::error_code error;
        if (std::filesystem::exists(lock, error)) return lock;
    }
    return std::nullopt;
}

}  // namespace os
