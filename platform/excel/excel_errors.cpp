#include "platform/excel/excel_errors.h"

#include <string>

#include "base/run_time_error.h"

namespace excel::detail {

namespace {

std::string quoted_name(const std::filesystem::path& file) {
    return "'" + file.filename().string() + "'";
}

}  // namespace

/* ---------------------------------------------------------------- workbook_not_found */
void workbook_not_found(const std::filesystem::path& file) {
    throw base::RunTimeError(
        application_error,
        quoted_name(file) +
            " が見つかりません。ファイル名およびファイルの保存場所が正しいかどう"
            "かを確認してください。",
        file.string());
}

/* ---------------------------------------------------------------- not_a_workbook */
void not_a_workbook(const std::filesystem::path& file, std::string_view context) {
    throw base::RunTimeError(application_error,
                             "ファイル形式またはファイル拡張子が正しくないため、ファイル " +
                                 quoted_name(file) +
                                 " を開くことができません。ファイルが破損しておらず、ファイル拡張"
                                 "子とファイル形式が一致していることを確認してください。",
                             file.string() + ": " + std::string(context));
}

/* ---------------------------------------------------------------- no_such_sheet */
void no_such_sheet(std::string_view which) {
    throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                             "sheet " + std::string(which));
}

/* ---------------------------------------------------------------- bad_reference */
void bad_reference(std::string_view context) {
    throw base::RunTimeError(application_error,
                             "アプリケーション定義またはオブジェクト定義のエラーです。",
                             std::string(context));
}

/* ---------------------------------------------------------------- select_failed */
void select_failed(std::string_view object, std::string_view context) {
    throw base::RunTimeError(application_error,
                             std::string(object) + " クラスの Select メソッドが失敗しました。",
                             std::string(context));
}

/* ---------------------------------------------------------------- file_exists */
void file_exists(const std::filesystem::path& file) {
    throw base::RunTimeError(application_error,
                             quoted_name(file) +
                                 " は既に存在します。置き換えるかどうかを確認で"
                                 "きないため、保存しませんでした。",
                             file.string());
}

/* ---------------------------------------------------------------- workbook_closed */
void workbook_closed() {
    throw base::RunTimeError(91, "オブジェクト変数または With ブロック変数が設定されていません。",
                             "the workbook has been closed");
}

}  // namespace excel::detail
