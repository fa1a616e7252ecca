#include "sorbel/workbook/report_errors.h"

#include <string_view>

namespace workbook {

/* ---------------------------------------------------------------- ReportErrorText */
std::string ReportErrorText(std::int32_t error_no) {
    switch (error_no) {
        case 1:
            return "ファイルがオープンできない";
        case 2:
            return "無効なファイルハンドル";
        case 3:
            return "未オープンエラー";
        case 4:
            return "シート番号エラー";
        case 5:
            return "書き込み時のエラー";
        case 6:
            return "動作モードエラー";
        case 7:
            return "データ種別エラー";
        case 31:
            return "長さエラー";
        case 32:
            return "座標エラー";
        case 33:
            return "属性番号エラー";
        case 34:
            return "パラメータエラー";
        case 35:
            return "データが無い";
        case 36:
            return "データの終わり";
        case 37:
            return "指定した変数が存在しない";
        case 40:
            return "メモリー不足エラー１";
        case 41:
            return "メモリー不足エラー２";
        case 50:
            return "内部エラー";
        case 100:
            return "計算式形式エラー";
        case 200:
            return "既にオープンしています";
        case 201:
            return "埋め込みされていません";
        case 202:
            return "Excelオブジェクトが見つかりません";
        case 203:
            return "Excelがオープンできません";
        case 204:
            return "BeginとEndが一致していません";
        case 205:
            return "指定したシートが存在しません";
        case 206:
            return "アプリケーションエラー";
        case 207:
            return "StartとOutが対になっていません";
        case 208:
            return "このプロパティはデザイン時のみ設定可能です";
        case 209:
            return "引数の型が違います Lib [XlsReport.dll] (long型を指定して下さい)";
        case 210:
            return "引数の型が違います Lib [XlsReport.dll] (boolean型を指定して下さい)";
        case 211:
            return "引数の型が違います Lib [XlsReport.dll] (string型を指定して下さい)";
        case 212:
            return "引数の型が違います Lib [XlsReport.dll] (double型を指定して下さい)";
        case 213:
            return "利用可能なプリンタが存在しません";
        case 214:
            return "ファイル保存を中止しました";
        case 215:
            return "指定したオブジェクトは利用できません";
        case 216:
            return "何らかの原因で保存に失敗しました";
        case 217:
            return "変数文字列が見つかりません";
        case 218:
            return "印刷を中止しました";
        case 219:
            return "何らかの原因で印刷に失敗しました";
        case 220:
            return "インストールされているＥｘｃｅｌのバージョンでは処理できません";
        case 221:
            return "印刷中なのでこの操作は行えません";
        case 222:
            return "印刷開始エラーです";
        case 223:
            return "印刷終了エラーです";
        default:
            return {};
    }
}

/* ---------------------------------------------------------------- failed_call_text */
std::string failed_call_text(std::int32_t error_no, const std::string& place) {
    std::string text = "No." + std::to_string(error_no) + " " + ReportErrorText(error_no);
    if (!place.empty()) text += "\r\n" + place;
    return text + "\r\n処理を中止します";
}

/* ---------------------------------------------------------------- Make_XlsFile_R */
void Make_XlsFile_R(std::int32_t error_no, const std::string& place, StageView& view) {
    std::string text = ReportErrorText(error_no);
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    text += "  No" + std::to_string(error_no);
    if (!place.empty()) text += "\r\n" + place;
    view.show_message(BoxIcon::none, "Error - Make_XlsFile_R", text + "\r\n処理を中止します");
    throw ReportAborted{};
}

/* ---------------------------------------------------------------- ReportProgress */
void ReportProgress::operator()(std::int32_t sheets_done, std::int32_t sheets_total,
                                std::int16_t& cancel) {
    if (view_.cancel_requested()) cancel = -1;
    view_.set_cancel_enabled(true);
    if (sheets_done == Last_Progress) return;
    view_.set_status("Excelファイル保存中 " + std::to_string(sheets_done) + "/" +
                     std::to_string(sheets_total) + "シート");
    view_.step_progress();
    view_.yield();
    Last_Progress = sheets_done;
}

}  // namespace workbook
