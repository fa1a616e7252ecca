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

/* ---------------------------------------------------------------- system_reason */
std::string system_reason(int system_error) {
    switch (system_error) {
        case ENOENT:
            return "ファイルまたはフォルダがありません";
        case EACCES:
        case EPERM:
            return "アクセスが許可されていません";
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が足りません";
        case EROFS:
            return "読み取り専用の場所です";
        case EISDIR:
            return "フォルダです";
        case ENOTDIR:
            return "途中の名前がフォルダではありません";
        case ENAMETOOLONG:
            return "名前が長すぎます";
        case ELOOP:
            return "シンボリックリンクが循環しています";
        case EEXIST:
            return "既にあります";
        case ENOTEMPTY:
            return "フォルダが空ではありません";
        case EBUSY:
        case ETXTBSY:
            return "使用中です";
        case EIO:
            return "入出力エラーです";
        default:
            return "システムエラー " + std::to_string(system_error);
    }
}

/* ---------------------------------------------------------------- system_error */
RunTimeError system_error(int system_error, const std::filesystem::path& path, FileAccess access) {
    return RunTimeError(error_number_for(system_error, access),
                        path.string() + "：" + system_reason(system_error));
}

}  // namespace base
