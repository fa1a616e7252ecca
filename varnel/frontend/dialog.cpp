#include "varnel/frontend/dialog.h"

#include <cstdint>
#include <string>
#include <utility>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "jobfiles/handoff_files.h"
#include "jobfiles/numeric.h"
#include "platform/os/file_tests.h"

namespace frontend {

namespace {

constexpr const char* caution = "注意";

const std::string excel2007_text =
    "Excel2007環境でｺﾝﾊﾞｰﾄしたXLSﾌｧｲﾙをExcel2000-2003環境で表示した場合、"
    "図形レイアウト位置が乱れる事があります。\r\r"
    "\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000"
    "Excel2007環境でのｺﾝﾊﾞｰﾄはPellora2007をご使用下さい。";

const std::string word_running_text =
    "Wordが起動中です。コンバート処理を続行する場合はWordを終了して下さい。";
const std::string excel_running_text =
    "Excelが起動中です。コンバート処理を続行する場合はExcelを終了して下さい。";
const std::string lock_left_text = "使用中を示すファイル (異常終了で残った場合は削除して下さい): ";
const std::string folder_missing_text = "指定したフォルダが見つかりません。";
const std::string folder_unexaminable_text = "指定したフォルダを調べられません。";
const std::string empty_range_text = "変換するページの範囲が正しくありません。";
const std::string number_range_text = "ページ数には -32768～32767 の数を指定して下さい。";

const std::string sheet_size_text =
    "1シートのページ数には 1～" + std::to_string(jobfiles::max_sheet_pages) +
    " の数を指定して下さい。（1ページに " + std::to_string(jobfiles::sheet_grid_rows) +
    " 行を使い、1シートは " + std::to_string(INT16_MAX) + " 行までです）";

// The Excel converter reads the box's number back rounded to a 16-bit integer, and the dialog
// always asks for sheets of that many pages.
bool sheet_size_accepted(double number, std::int16_t Page_Count) {
    try {
        return jobfiles::sheet_size_fits(
            jobfiles::sheet_size(1, jobfiles::to_int16(number), Page_Count));
    } catch (const base::RunTimeError&) {
        return false;
    }
}

std::string unwritable_path_text(const std::string& path) {
    return "このパスには保存できない文字（Shift_JIS にない文字）が含まれています。"
           "別の名前を指定して下さい。\r\n" +
           path;
}

std::string file_error_text(const base::RunTimeError& error, const std::filesystem::path& file) {
    return error.description() + "\r\n" + file.string();
}

}  // namespace

/* ---------------------------------------------------------------- path helpers */
std::string without_extension(std::string_view path) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::string(path);
    }
    return std::string(path.substr(0, dot));
}

std::string folder_part(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

Dialog::Dialog(ui::Backend& ui, RunVariables& run, Form1& form1, DialogSettings settings)
    : ui_(ui),
      run_(run),
      form1_(form1),
      settings_(std::move(settings)),
      form_("コンバートオプション", 6015, 5955) {
    using ui::ControlKind;
    const auto option = [&](std::string name, std::string frame, int top, std::string text,
                            bool checked = false) {
        form_.add({.name = std::move(name),
                   .kind = ControlKind::option,
                   .container = std::move(frame),
                   .place = {360, top, 0, 0},
                   .text = std::move(text),
                   .checked = checked});
    };
    const auto text_box = [&](std::string name, std::string frame, ui::TwipsRect place,
                              std::string text, bool select_all = false) {
        form_.add({.name = std::move(name),
                   .kind = ControlKind::text_box,
                   .container = std::move(frame),
                   .place = place,
                   .text = std::move(text),
                   .select_all_on_focus = select_all});
    };
    const auto button = [&](std::string name, std::string frame, ui::TwipsRect place,
                            std::string text) {
        form_.add({.name = std::move(name),
                   .kind = ControlKind::button,
                   .container = std::move(frame),
                   .place = place,
                   .text = std::move(text)});
    };
    const auto frame = [&](std::string name, ui::TwipsRect place, std::string text,
                           bool visible = true) {
        form_.add({.name = std::move(name),
                   .kind = ControlKind::frame,
                   .place = place,
                   .text = std::move(text),
                   .visible = visible});
    };
    const auto label = [&](std::string name, std::string frame_name, int left, int top,
                           std::string text) {
        form_.add({.name = std::move(name),
                   .kind = ControlKind::label,
                   .container = std::move(frame_name),
                   .place = {left, top, 0, 0},
                   .text = std::move(text)});
    };

    // In tab order; the labels, the frames and the last three follow the focus chain.
    option("Opt_ms(0)", "Frame4", 300, "Microsoft_Word文書", true);
    option("Opt_ms(1)", "Frame4", 600, "Microsoft_Excelファイル");
    option("Opt_Page(0)", "Frame2", 300, "全てのページを変換", true);
    option("Opt_Page(1)", "Frame2", 600, "指定ページの変換");
    text_box("Text1", "Frame2", {2640, 540, 855, 270}, "1", true);
    text_box("Text2", "Frame2", {3840, 540, 855, 270}, "1", true);
    option("Opt_Matrix(0)", "Frame1", 300, "表オブジェクトとして変換", true);
    option("Opt_Matrix(1)", "Frame1", 600, "図形オブジェクトとして変換 （短時間バージョン）");
    option("Option1(0)", "Frame5", 300, "半角1文字", true);
    option("Option1(1)", "Frame5", 600, "半角2文字");
    text_box("doc_name", "Frame3", {360, 420, 3735, 270}, "文書.docx");
    button("Command1", "Frame3", {4200, 420, 615, 270}, "参照");
    form_.add({.name = "Check1",
               .kind = ControlKind::check_box,
               .container = "Frame3",
               .place = {360, 1020, 0, 0},
               .text = "ページ数で文書ファイルを分割する"});
    text_box("page", "Frame3", {3480, 960, 615, 270}, "100", true);
    text_box("Text3", "Frame6", {360, 420, 3735, 270}, "Book1.xlsx");
    button("Command2", "Frame6", {4200, 420, 615, 270}, "参照");
    text_box("Text4", "Frame6", {3480, 960, 615, 270}, "50");
    button("OKButton", "", {480, 5220, 3255, 375}, "コンバート開始");
    button("CancelButton", "", {4080, 5220, 1455, 375}, "ｷｬﾝｾﾙ");
    frame("Frame4", {480, 180, 5055, 915}, "コンバート種別");
    frame("Frame2", {480, 1260, 5055, 915}, "変換ページ");
    label("Label1", "Frame2", 3600, 600, "～");
    frame("Frame1", {480, 2340, 5055, 915}, "表の取り扱い");
    frame("Frame5", {480, 2340, 2415, 915}, "セル幅の設定", false);
    frame("Frame7", {3000, 2340, 2535, 915}, "罫線の設定", false);
    frame("Frame3", {480, 3420, 5055, 1515}, "文書ファイル");
    label("Label2", "Frame3", 4200, 1020, "ページ");
    frame("Frame6", {480, 3420, 5055, 1515}, "文書ファイル", false);
    label("Label5", "Frame6", 1200, 1020, "1シートのページ数（推奨=50）");
    label("Label6", "Frame6", 4200, 1020, "ページ");
    option("Option1(2)", "Frame7", 600, "細線");
    option("Option1(3)", "Frame7", 300, "実線", true);
    button("Command4", "Frame4", {2640, 540, 2295, 255}, "Excel2007に関する注意");
    form_.default_button = "OKButton";
    form_.cancel_button = "CancelButton";
}

/* ---------------------------------------------------------------- load */
void Dialog::load() {
    enter_text("Text2", jobfiles::plain_number(settings_.Page_Count));
    select("Opt_Page(0)");
    path_txt = cp932::to_utf8(jobfiles::load_path_ini(settings_.job_dir / "PATH_INI"));
    if (path_txt.empty()) path_txt = settings_.job_dir.string();
    form_.set_text("doc_name", path_txt + "/文書.docx");
    form_.set_text("Text3", path_txt + "/Book1.xlsx");
    Cansel_SW = true;
}

/* ---------------------------------------------------------------- select, enter_text */
void Dialog::select(const std::string& control, bool checked) {
    form_.set_checked(control, checked);
    click(control);
}

void Dialog::enter_text(const std::string& control, std::string text) {
    form_.set_text(control, std::move(text));
    change(control);
}

/* ---------------------------------------------------------------- events */
void Dialog::click(const std::string& control) {
    if (control == "Opt_ms(0)") route_click(true);
    if (control == "Opt_ms(1)") route_click(false);
    if (control == "Command1") browse("doc_name", "Word 文書 (*.docx)|*.docx");
    if (control == "Command2") browse("Text3", "Excel ﾌｧｲﾙ (*.xlsx)|*.xlsx");
    if (control == "Command4") excel2007_notice();
    if (control == "OKButton") ok_click();
    if (control == "CancelButton") cancel_click();
}

void Dialog::change(const std::string& control) {
    if (control == "Text1" || control == "Text2") form_.set_checked("Opt_Page(1)", true);
}

bool Dialog::query_close() {
    return true;
}

/* ---------------------------------------------------------------- route_click */
void Dialog::route_click(bool word) {
    form_.set_visible("Frame1", word);
    form_.set_visible("Frame3", word);
    form_.set_visible("Frame5", !word);
    form_.set_visible("Frame6", !word);
    form_.set_visible("Frame7", !word);
}

/* ---------------------------------------------------------------- browse */
void Dialog::browse(const std::string& text_box, const std::string& filter) {
    const auto chosen = ui_.save_file_box({.file_name = form_.text(text_box),
                                           .filter = filter,
                                           .overwrite_prompt = true,
                                           .folder_must_exist = true});
    if (!chosen) return;
    form_.set_text(text_box, *chosen);
    path_txt = folder_part(*chosen);
}

/* ---------------------------------------------------------------- excel2007_notice */
void Dialog::excel2007_notice() {
    ui_.message_box(ui::MessageIcon::exclamation, caution, excel2007_text);
}

/* ---------------------------------------------------------------- cancel_click */
void Dialog::cancel_click() {
    Cansel_SW = true;
    failed = false;
    form_.unload();
}

void Dialog::refuse(const std::string& text) {
    ui_.message_box(ui::MessageIcon::exclamation, caution, text);
}

void Dialog::fail(const std::string& text) {
    refuse(text);
    failed = true;
}

std::filesystem::path Dialog::resolve(const std::string& folder) const {
    return settings_.job_dir / folder;
}

/* ---------------------------------------------------------------- ok_click */
// Cansel_SW stays true until every check has passed, so closing the dialog after a refused OK
// still counts as cancel; what was set or written before a refusal stays.
void Dialog::ok_click() {
    const std::int16_t Page_Count = settings_.Page_Count;
    failed = false;
    run_.Matrix_SW = form_.checked("Opt_Matrix(0)");

    try {
        if (form_.checked("Opt_Page(0)")) {
            run_.Start_Page = 1;
            run_.End_Page = Page_Count;
        } else {
            run_.Start_Page = jobfiles::to_int16(jobfiles::Val(form_.text("Text1")));
            run_.End_Page = jobfiles::to_int16(jobfiles::Val(form_.text("Text2")));
        }
    } catch (const base::RunTimeError&) {
        refuse(number_range_text);
        return;
    }
    const auto refuse_range = [&] {
        if (settings_.report_silent_refusals) refuse(empty_range_text);
    };
    if (run_.Start_Page > run_.End_Page) return refuse_range();
    if (run_.End_Page > Page_Count) run_.End_Page = Page_Count;
    if (run_.Start_Page < 1) run_.Start_Page = 1;
    // A range that the clamping emptied (0 to 0 becomes 1 to 0) would convert nothing.
    if (run_.Start_Page > run_.End_Page) return refuse_range();

    form_.set_text("doc_name", without_extension(form_.text("doc_name")));
    const std::string document = form_.text("doc_name");
    run_.Doc_Name = document.substr(document.rfind('/') + 1);

    const bool split = form_.checked("Check1");
    form1_.form().set_text("doc_name", run_.Doc_Name + (split ? "1" : "") + ".docx");
    run_.Split_SW = split;
    const double split_pages = jobfiles::Val(form_.text("page"));
    if (split && split_pages > 0) {
        try {
            run_.Split_Page = jobfiles::to_int16(split_pages);
        } catch (const base::RunTimeError&) {
            refuse(number_range_text);
            return;
        }
    }
    // A size that rounds to no page at all cannot split anything.
    if (split_pages <= 0 || run_.Split_Page < 1) run_.Split_SW = false;

    run_.Word_SW = form_.checked("Opt_ms(0)");
    // Caught here: the converter would stop on it only after the hand-off.
    const double sheet_pages = jobfiles::Val(form_.text("Text4"));
    if (!run_.Word_SW && !sheet_size_accepted(sheet_pages, Page_Count)) {
        return refuse(sheet_size_text);
    }
    form_.set_text("Text3", without_extension(form_.text("Text3")));

    const std::string workbook = form_.text("Text3");
    if (!cp932::representable(workbook)) return refuse(unwritable_path_text(workbook));
    const auto prn_xls = settings_.job_dir / "PRN_XLS";
    try {
        jobfiles::write_prn_xls(prn_xls, {.Start_Page = run_.Start_Page,
                                          .End_Page = run_.End_Page,
                                          .workbook = cp932::from_utf8(workbook),
                                          .sheet_pages = sheet_pages,
                                          .two_chars_per_cell = form_.checked("Option1(1)"),
                                          .thin_lines = form_.checked("Option1(2)")});
    } catch (const base::RunTimeError& error) {
        return fail(file_error_text(error, prn_xls));
    }

    // An output document that an office program holds open cannot be replaced.
    const std::string output = run_.Word_SW ? document : workbook;
    std::string folder = folder_part(output);
    if (folder.empty()) folder = settings_.job_dir.string();
    const std::string file_name = run_.Word_SW ? form1_.form().text("doc_name")
                                               : output.substr(output.rfind('/') + 1) + ".xlsx";
    if (const auto lock = os::office_lock_file(resolve(folder) / file_name)) {
        return refuse((run_.Word_SW ? word_running_text : excel_running_text) + "\r\n" +
                      lock_left_text + lock->string());
    }
    path_txt = folder;

    try {
        if (!os::folder_exists(resolve(path_txt))) return refuse(folder_missing_text);
    } catch (const base::RunTimeError& error) {
        return fail(folder_unexaminable_text + "\r\n" + file_error_text(error, resolve(path_txt)));
    }

    if (!cp932::representable(path_txt)) return refuse(unwritable_path_text(path_txt));
    const auto path_ini = settings_.job_dir / "PATH_INI";
    try {
        jobfiles::write_path_ini(path_ini, cp932::from_utf8(path_txt));
    } catch (const base::RunTimeError& error) {
        return fail(file_error_text(error, path_ini));
    }

    Cansel_SW = false;
    form_.unload();
}

}  // namespace frontend
