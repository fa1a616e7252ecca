#include "platform/os/file_tests.h"

#include <system_error>

namespace os {

/* ---------------------------------------------------------------- folder_exists */
bool folder_exists(const std::filesystem::path& folder) {
    std::error_code error;
    return !folder.empty() && std::filesystem::is_directory(folder, error);
}

/* ---------------------------------------------------------------- office_lock_exists */
bool office_lock_exists(const std::filesystem::path& document) {
    const auto name = document.filename().string();
    if (name.empty()) return false;
    const auto folder = document.parent_path();
    std::error_code error;
    return std::filesystem::exists(folder / ("~$" + name), error) ||
           std::filesystem::exists(folder / (".~lock." + name + "#"), error);
}

}  // namespace os
