#include "base/run_time_error.h"

#include <utility>

namespace base {

namespace {

std::string compose_what(const std::string& description, const std::string& context) {
    return context.empty() ? description : description + " [" + context + "]";
}

}  // namespace

/* ---------------------------------------------------------------- standard_description */
std::string_view standard_description(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::invalid_call:
            return "プロシージャの呼び出し、または引数が不正です。";
        case ErrorNumber::overflow:
            return "オーバーフローしました。";
        case ErrorNumber::out_of_memory:
            return "メモリが不足しています。";
        case ErrorNumber::subscript_out_of_range:
            return "インデックスが有効範囲にありません。";
        case ErrorNumber::type_mismatch:
            return "型が一致しません。";
        case ErrorNumber::bad_file_name_or_number:
            return "ファイル名または番号が不正です。";
        case ErrorNumber::file_not_found:
            return "ファイルが見つかりません。";
        case ErrorNumber::device_io:
            return "デバイス I/O エラーです。";
        case ErrorNumber::input_past_end:
            return "ファイルにこれ以上データがありません。";
        case ErrorNumber::permission_denied:
            return "書き込みできません。";
        case ErrorNumber::path_file_access:
            return "パス名が無効です。";
        case ErrorNumber::path_not_found:
            return "パスが見つかりません。";
        case ErrorNumber::invalid_file_format:
            return "ファイル形式が無効です。";
    }
    return "アプリケーション定義またはオブジェクト定義のエラーです。";
}

/* ---------------------------------------------------------------- RunTimeError */
RunTimeError::RunTimeError(ErrorNumber number, std::string context)
    : RunTimeError(static_cast<int>(number), std::string(standard_description(number)),
                   std::move(context)) {}

RunTimeError::RunTimeError(int number, std::string description, std::string context)
    : std::runtime_error(compose_what(description, context)),
      number_(number),
      description_(std::move(description)),
      context_(std::move(context)) {}

}  // namespace base
