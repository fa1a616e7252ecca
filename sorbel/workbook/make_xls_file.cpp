#include "sorbel/workbook/make_xls_file.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <variant>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "jobfiles/block_metafile_names.h"
#include "jobfiles/numeric.h"
#include "jobfiles/prn_char.h"
#include "platform/xlsreport/xls_report.h"
#include "sorbel/workbook/character_runs.h"
#include "sorbel/workbook/matrix_cells.h"
#include "sorbel/workbook/metafile_frame.h"
#include "sorbel/workbook/report_errors.h"
#include "sorbel/workbook/text_lines.h"
#include "sorbel/workbook/udstring_file.h"

namespace workbook {

namespace {

// A call that must succeed returned 0; the library holds the error number.
struct CallFailed {};

void must(std::int16_t result) {
    if (result == 0) throw CallFailed{};
}

// "～" in CP932: sheet names go to the library as CP932 like every text.
constexpr std::string_view wave_dash = "\x81\x60";

std::string sheet_name(int first, int last) {
    return "Page " + std::to_string(first) + std::string(wave_dash) + std::to_string(last);
}

class WorkbookBuild {
  public:
    WorkbookBuild(const WorkbookSettings& settings, StageView& view)
        : s_(settings),
          view_(view),
          progress_(view),
          Char_Size_mm10_(workbook::Char_Size_mm10(settings)),
          Line_Pitch_mm10_(workbook::Line_Pitch_mm10(settings)) {}

    StageOutcome run();

  private:
    bool in_range() const noexcept { return page_ >= s_.Start_Page && page_ <= s_.End_Page; }
    std::string page_caption(const char* how) const {
        return "帳票構築中 " + std::to_string(page_) + "/" + std::to_string(s_.Page_Count) +
               "ページ " + how;
    }

    void start();
    void begin_sheet();
    void read_records();
    void place_text(const jobfiles::TextRecord& record);
    void start_table(const jobfiles::MatrixHeader& header);
    void put_table_row(const jobfiles::MatrixRow& row);
    void end_block();
    void write_lines();
    void place_picture();
    std::int16_t block_height() const;
    void end_page();
    void change_sheet();
    void delete_unused_rows();
    StageOutcome finish();
    void give_up();

    const WorkbookSettings& s_;
    StageView& view_;
    ReportProgress progress_;
    xlsreport::XlsReport report_{"Sorbel"};
    bool released_ = false;
    UdStringWriter runs_;
    jobfiles::BlockMetafileNames names_;

    double Char_Size_mm10_;
    double Line_Pitch_mm10_;
    std::int16_t Sheet_Page_ = 0;
    std::int32_t grid_rows_ = 0;  // PageGridRows x Sheet_Page

    // Block state.
    TextLines lines_{};
    bool text_placed_ = false;
    bool table_present_ = false;
    bool block_seen_ = false;
    std::int16_t table_rows_ = 0;
    double table_pitch_ = 0;
    std::optional<MatrixCells> table_;
    std::int32_t table_rows_written_ = 0;

    // Run state.
    jobfiles::SorbelBlockHeader header_{};
    std::int32_t block_row_ = 0;
    std::int32_t sheet_row_ = 0;
    std::int32_t page_top_ = 0;     // sheet row of the page's first row
    std::int32_t page_bottom_ = 0;  // sheet row below the lowest row the page wrote
    bool page_has_records_ = false;
    bool reading_ = false;  // errors name the page
    int page_ = 1;
    int pages_written_ = 1;
    std::int32_t sheet_number_ = 1;
    std::optional<int> first_page_of_sheet_;
    int last_page_written_ = 0;
};

/* ---------------------------------------------------------------- WorkbookBuild::start */
void WorkbookBuild::start() {
    Sheet_Page_ = s_.Sheet_SW == 0 ? jobfiles::to_int16(s_.Page_Count + 10.0) : s_.Sheet_Page;
    if (Sheet_Page_ < 1) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 "PRN_XLS: pages per sheet " + std::to_string(Sheet_Page_));
    }
    // The rows prepared per sheet are a 16-bit count: all pages on one sheet works up to 494
    // pages.
    const int grid_rows = PageGridRows * Sheet_Page_;
    if (grid_rows > INT16_MAX) {
        throw base::RunTimeError(base::ErrorNumber::overflow,
                                 std::to_string(Sheet_Page_) + " pages per sheet x " +
                                     std::to_string(PageGridRows) + " rows > 32767");
    }
    grid_rows_ = grid_rows;
    // Created empty first: the post-processing never reads an earlier run's records.
    UdStringWriter().save(s_.job_dir / udstring_file_name);
    names_ = jobfiles::BlockMetafileNames::scan(base::load_file(s_.job_dir / "PRN_PICT"));

    view_.start_progress(s_.Page_Count);
    report_.SetOnErrorProc([this](std::int32_t& error_no, xlsreport::XlsReport& report) {
        std::string detail;
        report.GetErrorMessage(detail);
        Make_XlsFile_R(error_no, detail, view_);
    });
    report_.SetOnProgressProc([this](std::int32_t done, std::int32_t total, std::int16_t& cancel) {
        progress_(done, total, cancel);
    });
    // What of the user's template the workbook could not keep.
    report_.SetOnWarningProc([this](const std::string& line) { view_.add_warning(line); });
    must(report_.PutFileName(cp932::from_utf8(s_.Template_File.string())));
    report_.OptionPutProgressDialog(0);
    must(report_.StartFile());
    begin_sheet();
}

/* ---------------------------------------------------------------- WorkbookBuild::begin_sheet */
void WorkbookBuild::begin_sheet() {
    must(report_.PageBegin("sheet1", "1"));
    must(report_.PageAttrMargin(jobfiles::to_int32(s_.Margin_Left / 10), 0,
                                jobfiles::to_int32(s_.Margin_Top / 10),
                                jobfiles::to_int32(s_.Margin_Right / 10), 0, 0));
    report_.Pos(0, 0, 0, grid_rows_);
    report_.PutRowHeight(s_.Row_Height);
}

/* ---------------------------------------------------------------- WorkbookBuild::read_records */
void WorkbookBuild::read_records() {
    const std::string bytes = base::load_file(s_.job_dir / "PRN_CHAR");
    jobfiles::SorbelCharReader in(bytes);
    reading_ = true;
    while (const auto record = in.next()) {
        const bool page_end = std::holds_alternative<jobfiles::PageEnd>(*record);
        if (!in_range()) {
            if (page_end) {
                view_.set_status(page_caption("スキップ"));
                view_.step_progress();
                view_.yield();
                ++page_;
            }
        } else if (const auto* text = std::get_if<jobfiles::TextRecord>(&*record)) {
            place_text(*text);
        } else if (const auto* header = std::get_if<jobfiles::MatrixHeader>(&*record)) {
            start_table(*header);
        } else if (const auto* row = std::get_if<jobfiles::MatrixRow>(&*record)) {
            put_table_row(*row);
        } else if (const auto* block = std::get_if<jobfiles::SorbelBlockHeader>(&*record)) {
            end_block();
            header_ = *block;
            block_seen_ = true;
            page_has_records_ = true;
        } else if (page_end) {
            end_block();
            end_page();
        }
        view_.yield();
        if (view_.cancel_requested()) return;
    }
    // A last page without its PAGE record still reaches the workbook.
    if (in_range() && (page_has_records_ || text_placed_ || table_present_)) {
        end_block();
        end_page();
    }
    reading_ = false;
}

/* ---------------------------------------------------------------- WorkbookBuild::place_text */
void WorkbookBuild::place_text(const jobfiles::TextRecord& record) {
    if (record.text.empty()) return;
    page_has_records_ = true;
    const bool pitched = s_.Line_Pitch != s_.Char_Size;
    double line = 0;
    if (record.kind == jobfiles::TextKind::TITLE) {
        line = 1;
    } else if (header_.title_flag == 1 && pitched) {
        line = jobfiles::Int((record.y - Line_Pitch_mm10_) / Char_Size_mm10_ + 0.5001) + 1;
    } else {
        line = snap_to_grid(record.y / Char_Size_mm10_);
    }
    if (line < 0 || line >= line_count) {
        throw base::RunTimeError(
            base::ErrorNumber::subscript_out_of_range,
            "line " + jobfiles::plain_number(line) + " at y " + jobfiles::plain_number(record.y));
    }
    const double column = snap_to_grid((record.x - s_.Margin_Left) * 2 / Char_Size_mm10_);
    if (column < 0 || column >= line_columns) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 "column " + jobfiles::plain_number(column + 1) + " at x " +
                                     jobfiles::plain_number(record.x));
    }
    const int c = static_cast<int>(column);
    LineBuffer& buffer = lines_[static_cast<std::size_t>(line)];
    buffer.text = PlaceText(buffer.text, c + 1, record.text);
    buffer.mark =
        record.kind == jobfiles::TextKind::TITLE && pitched ? LineMark::title : LineMark::text;
    text_placed_ = true;
    if (record.kind == jobfiles::TextKind::UMOJI || record.kind == jobfiles::TextKind::SMOJI) {
        buffer.ranges.push_back(
            {.start = static_cast<std::int16_t>(c + 1),
             .length = jobfiles::to_int16(static_cast<double>(cp932::char_count(record.text))),
             .kind = record.kind == jobfiles::TextKind::UMOJI ? run_superscript : run_small});
    }
}

/* ---------------------------------------------------------------- WorkbookBuild::start_table */
void WorkbookBuild::start_table(const jobfiles::MatrixHeader& header) {
    page_has_records_ = true;
    table_.emplace(header,
                   MatrixPlace{.block_x1 = header_.x1,
                               .sheet_row = sheet_row_,
                               .block_row = block_row_,
                               .sheet_number = sheet_number_},
                   s_);
    table_present_ = true;
    table_rows_ = table_->rows();
    table_pitch_ = table_->row_pitch();
    table_rows_written_ = 0;
}

/* ---------------------------------------------------------------- WorkbookBuild::put_table_row */
void WorkbookBuild::put_table_row(const jobfiles::MatrixRow& row) {
    if (!table_) return;
    table_->put_row(report_, row, runs_);
    ++table_rows_written_;
    page_bottom_ = std::max(page_bottom_, table_->top_row() + table_rows_written_);
}

/* ---------------------------------------------------------------- WorkbookBuild::end_block */
void WorkbookBuild::end_block() {
    if (text_placed_) write_lines();
    if (block_seen_) {
        place_picture();
        block_row_ = jobfiles::to_int32(static_cast<double>(block_row_) + block_height());
    }
    if (text_placed_) clear_lines(lines_);
    text_placed_ = false;
    table_present_ = false;
    table_.reset();
}

/* ---------------------------------------------------------------- WorkbookBuild::write_lines */
void WorkbookBuild::write_lines() {
    // Line 0 of a page's first block lies one row above the block: the page starts a row
    // lower rather than write over the last row of the page before.
    if (lines_[0].mark != LineMark::empty && sheet_row_ + block_row_ - 1 < page_top_) {
        ++sheet_row_;
    }
    for (int i = 0; i < line_count - 1; ++i) {
        LineBuffer& line = lines_[static_cast<std::size_t>(i)];
        if (line.mark == LineMark::empty) continue;
        const std::string text = SpreadRanges(line.text, line.ranges);
        const std::int32_t row = sheet_row_ + block_row_ + i - 1;
        report_.Pos(0, row, -1, -1);
        report_.AttrPutFontName(s_.Font_Name);
        report_.PutValueString(std::string(cp932::right_trim(text)));
        if (line.mark == LineMark::title) {
            report_.PutRowHeight(s_.Row_Pitch);
            report_.AttrPutFontName(s_.Font_Name);
            report_.AttrPutFontPoint(s_.Line_Pitch / 10.0);
        }
        for (const RangeEntry& range : line.ranges) {
            runs_.add({.sheet = sheet_number_,
                       .row = row + 1,
                       .column = 1,
                       .start = range.char_start,
                       .length = range.length,
                       .kind = range.kind});
        }
        page_bottom_ = std::max(page_bottom_, row + 1);
    }
}

/* ---------------------------------------------------------------- WorkbookBuild::place_picture */
void WorkbookBuild::place_picture() {
    const auto name = names_.name(static_cast<std::int16_t>(page_), header_.Block_No);
    if (!name) return;
    const std::filesystem::path file = s_.job_dir / "META_FILE" / *name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    const std::string picture = base::load_file(file);
    const PictureSize size = metafile_frame(picture);
    const double width = size.width * s_.Pict_Scale_W;
    const double height = size.height * s_.Pict_Scale_H;
    report_.Pos(0, sheet_row_ + block_row_, -1, -1);
    // The block's bitmaps cover the metafile's frame and go first: a later picture lies above.
    const std::filesystem::path bitmaps = std::filesystem::path(file).replace_extension(".png");
    if (std::filesystem::is_regular_file(bitmaps, ec)) {
        report_.CanvasDraw(base::load_file(bitmaps), s_.Pict_Offset, 0, width, height);
        report_.ReleasePicture(report_.GetPicture());
    }
    report_.CanvasDraw(picture, s_.Pict_Offset, 0, width, height);
    report_.ReleasePicture(report_.GetPicture());
}

/* ---------------------------------------------------------------- WorkbookBuild::block_height */
std::int16_t WorkbookBuild::block_height() const {
    const double H = header_.y2 - header_.y1;
    const double T = Line_Pitch_mm10_;
    const double size = Char_Size_mm10_;
    const bool title = header_.title_flag == 1;
    double rows = 0;
    if (table_present_) {
        const double R = table_rows_;
        const double table = R * table_pitch_;
        rows = title ? jobfiles::Int((H - T - table) / size + 0.5001) + R + 1
                     : jobfiles::Int((H - table) / size + 0.5001) + R;
    } else {
        rows = title ? jobfiles::Int((H - T) / size + 0.5001) + 1 : snap_to_grid(H / size);
    }
    // The first block of a page inherits the title flag with an empty rectangle: a height
    // below zero would pull the page's later rows over the rows before them.
    return std::max<std::int16_t>(jobfiles::to_int16(rows), 0);
}

/* ---------------------------------------------------------------- WorkbookBuild::end_page */
void WorkbookBuild::end_page() {
    // Rows written below the blocks' heights still belong to this page.
    sheet_row_ = std::max(sheet_row_ + block_row_, page_bottom_);
    // The page's width ends at Col_Count - 1 half-width columns; a wide template's column
    // holds two of them.
    const std::int32_t break_column = s_.Cell_Wide == 0 ? s_.Col_Count - 1 : (s_.Col_Count - 1) / 2;
    // No page follows the last one of a sheet: its break would only push what reaches below
    // its last row (the foot of a picture) onto a printed page of its own. The column break
    // stays, set from row 0, above which no row break is made.
    const bool last_of_sheet = page_ >= s_.End_Page || pages_written_ % Sheet_Page_ == 0;
    report_.Pos(break_column, last_of_sheet ? 0 : sheet_row_, -1, -1);
    report_.PutBreak(-1);
    view_.set_status(page_caption("終了"));
    view_.step_progress();
    view_.yield();
    if (!first_page_of_sheet_) first_page_of_sheet_ = page_;
    last_page_written_ = page_;
    if (pages_written_ % Sheet_Page_ == 0 && page_ < s_.End_Page) change_sheet();
    ++page_;
    ++pages_written_;
    header_.Block_No = -1;
    header_.x1 = header_.y1 = header_.x2 = header_.y2 = 0;
    block_row_ = 0;
    page_top_ = page_bottom_ = sheet_row_;
    page_has_records_ = false;
}

/* ---------------------------------------------------------------- WorkbookBuild::change_sheet */
void WorkbookBuild::change_sheet() {
    report_.PageName(sheet_name(*first_page_of_sheet_, page_));
    first_page_of_sheet_.reset();
    delete_unused_rows();
    must(report_.PageEnd());
    begin_sheet();
    sheet_row_ = 0;
    ++sheet_number_;
}

/* ----------------------------------------------------------------
 * WorkbookBuild::delete_unused_rows
 */
void WorkbookBuild::delete_unused_rows() {
    // Pages taller than the prepared rows leave nothing to delete.
    const std::int32_t count = grid_rows_ - sheet_row_ - 1;
    if (count > 0) report_.RowDelete(sheet_row_, count);
}

/* ---------------------------------------------------------------- WorkbookBuild::finish */
StageOutcome WorkbookBuild::finish() {
    if (first_page_of_sheet_) {
        report_.PageName(sheet_name(*first_page_of_sheet_, last_page_written_));
    } else {
        view_.add_warning("PRN_CHAR にページ " + std::to_string(page_) + "～" +
                          std::to_string(s_.End_Page) + " がありません。");
    }
    delete_unused_rows();
    report_.PageEnd();
    const std::int32_t sheets = report_.PageTotalCount();
    runs_.save(s_.job_dir / udstring_file_name);

    view_.start_progress(sheets);
    view_.set_busy_pointer(true);
    view_.set_status("Excelファイル保存準備中");
    view_.yield();
    view_.set_cancel_enabled(false);
    progress_.reset();
    must(report_.OutFile(cp932::from_utf8(s_.Xls_File.string()), -1));
    released_ = true;
    must(report_.Release());
    return StageOutcome::completed;
}

/* ---------------------------------------------------------------- WorkbookBuild::give_up */
void WorkbookBuild::give_up() {
    if (!released_) {
        released_ = true;
        report_.OutCancel();
        report_.Release();
    }
    view_.set_busy_pointer(false);
}

/* ---------------------------------------------------------------- WorkbookBuild::run */
StageOutcome WorkbookBuild::run() {
    try {
        start();
        read_records();
        if (view_.cancel_requested()) {
            give_up();
            return StageOutcome::cancelled;
        }
        return finish();
    } catch (const CallFailed&) {
        const std::int32_t error_no = report_.GetErrorNo();
        std::string detail;
        report_.GetErrorMessage(detail);
        view_.show_message(BoxIcon::none, "Error", failed_call_text(error_no, detail));
        give_up();
        return error_no == xlsreport::error::save_stopped && view_.cancel_requested()
                   ? StageOutcome::cancelled
                   : StageOutcome::failed;
    } catch (const ReportAborted&) {
        give_up();
        return StageOutcome::failed;
    } catch (const base::RunTimeError& error) {
        std::string text = error.description();
        if (!error.context().empty()) text += "\r\n" + error.context();
        if (reading_) text += "\r\nPRN_CHAR " + std::to_string(page_) + "ページ";
        view_.show_message(BoxIcon::exclamation, "Error - Make_XlsFile",
                           text + "\r\n\r\n処理を中止します。");
        give_up();
        return StageOutcome::failed;
    }
}

}  // namespace

/* ---------------------------------------------------------------- Make_XlsFile */
StageOutcome Make_XlsFile(const WorkbookSettings& settings, StageView& view) {
    WorkbookBuild build(settings, view);
    return build.run();
}

}  // namespace workbook
