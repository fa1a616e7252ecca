#include "platform/xlsreport/report_failure.h"

#include "platform/xlsreport/xls_report.h"

namespace xlsreport::detail {

/* ------------------------------------------------------------ report_error_text */
std::string_view report_error_text(std::int32_t number) noexcept {
    switch (number) {
        case error::file_cannot_open:
            return "ファイルがオープンできない";
        case error::invalid_handle:
            return "無効なファイルハンドル";
        case error::not_open:
            return "未オープンエラー";
        case error::sheet_number:
            return "シート番号エラー";
        case error::write_error:
            return "書き込み時のエラー";
        case error::mode_error:
            return "動作モードエラー";
        case error::data_kind:
            return "データ種別エラー";
        case error::length:
            return "長さエラー";
        case error::coordinate:
            return "座標エラー";
        case error::attribute_number:
            return "属性番号エラー";
        case error::parameter:
            return "パラメータエラー";
        case error::no_data:
            return "データが無い";
        case error::out_of_memory:
            return "メモリー不足エラー１";
        case error::internal:
            return "内部エラー";
        case error::already_open:
            return "既にオープンしています";
        case error::begin_end_mismatch:
            return "BeginとEndが一致していません";
        case error::no_such_sheet:
            return "指定したシートが存在しません";
        case error::start_out_unpaired:
            return "StartとOutが対になっていません";
        case error::save_stopped:
            return "ファイル保存を中止しました";
        case error::save_failed:
            return "何らかの原因で保存に失敗しました";
        default:
            return "";
    }
}

}  // namespace xlsreport::detail
