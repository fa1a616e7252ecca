#include "base/system_error.h"

#include <cerrno>
#include <string>
#include <system_error>

namespace base {

/* ---------------------------------------------------------------- error_number_for */
// What the user can do about it decides the number: fix the folder (76), free or unlock the
// file (70), pick another name (75), or look at the device (57).
ErrorNumber error_number_for(int system_error, FileAccess access) noexcept {
    switch (system_error) {
        case ENOENT:
            return access == FileAccess::read ? ErrorNumber::file_not_found
                                              : ErrorNumber::path_not_found;
        case ENOTDIR:
            return ErrorNumber::path_not_found;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return ErrorNumber::permission_denied;
        case EISDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case ELOOP:
        case EEXIST:
        case ENOEXEC:
            return ErrorNumber::path_file_access;
        default:
            return ErrorNumber::device_io;
    }
}

/* ---------------------------------------------------------------- system_error */
RunTimeError system_error(int system_error, const std::filesystem::path& path, FileAccess access) {
    return RunTimeError(error_number_for(system_error, access),
                        path.string() + ": " + std::generic_category().message(system_error));
}

}  // namespace base
