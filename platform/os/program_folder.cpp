#include "platform/os/program_folder.h"

#include <system_error>

#include "base/run_time_error.h"
#include "base/system_error.h"

namespace os {

/* ---------------------------------------------------------------- program_folder */
std::filesystem::path program_folder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw base::RunTimeError(base::ErrorNumber::path_not_found,
                                 "/proc/self/exe: " + error.message());
    }
    return exe.parent_path();
}

/* ---------------------------------------------------------------- job_folder */
std::filesystem::path job_folder(const std::optional<std::filesystem::path>& given) {
    if (!given) return program_folder();
    std::error_code error;
    const auto folder = std::filesystem::absolute(*given, error);
    if (error) throw base::system_error(error.value(), *given, base::FileAccess::read);
    return folder.lexically_normal();
}

}  // namespace os
