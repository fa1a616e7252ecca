#include "sorbel/workbook/make_xls_file.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "jobfiles/block_metafile_names.h"
#include "jobfiles/numeric.h"
#include "jobfiles/prn_char.h"
#include "platform/xlsreport/xls_report.h"
#include "sorbel/workbook/block_rows.h"
#include "sorbel/workbook/build_warnings.h"
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

// What the user can do about a page the build cannot read through.
constexpr std::string_view fix_the_page =
    "帳票の作成元でこのページを確認するか、このページを除いて変換してください。";

// "～" in CP932: sheet names go to the library as CP932 like every text.
constexpr std::string_view wave_dash = "\x81\x60";

std::string sheet_name(int first, int last) {
    return "Page " + std::to_string(first) + std::string(wave_dash) + std::to_string(last);
}

// What the reader and the writer were at when something failed, for the message box.
struct BuildPlace {
    int page = 0;
    std::int32_t block = 0;
    std::size_t offset = 0;  // byte offset in PRN_CHAR of the record, or of the table's MATRIX
    const MatrixCells* table = nullptr;  // the table being written
};

// A MATRIX record and the rows read for it so far: a table is written when its block ends,
// once the block's rows are known.
struct BlockTable {
    jobfiles::MatrixHeader header;
    std::size_t offset = 0;
    std::vector<jobfiles::MatrixRow> rows;
};

class WorkbookBuild {
  public:
    WorkbookBuild(const WorkbookSettings& settings, StageView& view)
        : s_(settings),
          view_(view),
          progress_(view),
          warnings_(view),
          Char_Size_mm10_(workbook::Char_Size_mm10(settings)),
          Line_Pitch_mm10_(workbook::Line_Pitch_mm10(settings)) {}

    StageOutcome run();

  private:
    bool in_range() const noexcept { return page_ >= s_.Start_Page && page_ <= s_.End_Page; }
    std::string page_caption(const char* how) const {
        return "帳票構築中 " + std::to_string(page_) + "/" + std::to_string(s_.Page_Count) +
               "ページ " + how;
    }
    std::string where() const;
    std::string library_context();
    std::string block_place() const {
        return std::to_string(page_) + "ページ、ブロック " + std::to_string(header_.Block_No);
    }

    void start();
    void begin_sheet();
    void read_records();
    void read_record(const jobfiles::SorbelCharRecord& record, std::size_t offset);
    void place_text(const jobfiles::TextRecord& record);
    void end_block();
    void write_tables(const BlockRows& rows, std::int32_t top);
    void write_lines(const BlockRows& rows, std::int32_t top);
    void place_picture(std::int32_t row);
    void end_page();
    void change_sheet();
    void delete_unused_rows();
    StageOutcome finish();
    void give_up();

    const WorkbookSettings& s_;
    StageView& view_;
    ReportProgress progress_;
    BuildWarnings warnings_;
    xlsreport::XlsReport report_{"Sorbel"};
    bool released_ = false;
    UdStringWriter runs_;
    jobfiles::BlockMetafileNames names_;
    jobfiles::BlockOccurrences occurrences_;

    double Char_Size_mm10_;
    double Line_Pitch_mm10_;
    std::int16_t Sheet_Page_ = 0;
    std::int32_t grid_rows_ = 0;  // PageGridRows x Sheet_Page

    // Block state.
    TextLines lines_{};
    bool text_placed_ = false;
    bool block_seen_ = false;
    int block_occurrence_ = 1;
    std::vector<BlockTable> tables_;
    std::vector<std::int32_t> table_left_columns_;  // of the tables written
    std::optional<MatrixCells> writing_table_;
    bool extra_cells_told_ = false;

    // Run state.
    jobfiles::SorbelBlockHeader header_{};
    std::int32_t block_row_ = 0;
    std::int32_t sheet_row_ = 0;
    std::int32_t page_bottom_ = 0;  // sheet row below the lowest row the page wrote
    bool page_has_records_ = false;
    bool sheet_full_ = false;  // the sheet holds Sheet_Page pages; the next page starts another
    int page_ = 1;
    int pages_written_ = 1;
    std::int32_t sheet_number_ = 1;
    std::optional<int> first_page_of_sheet_;
    int last_page_written_ = 0;

    // Where messages say the build was.
    enum class Stage { starting, reading, saving } stage_ = Stage::starting;
    BuildPlace place_;
};

/* ---------------------------------------------------------------- WorkbookBuild::where */
std::string WorkbookBuild::where() const {
    std::string text =
        std::to_string(place_.page) + "ページ、ブロック " + std::to_string(place_.block) + "、";
    if (place_.table != nullptr) {
        text += "表の " + std::to_string(place_.table->row_being_written()) + " 行目 " +
                std::to_string(place_.table->column_being_written()) + " 列目（PRN_CHAR の " +
                std::to_string(place_.offset) + " バイト目の MATRIX）";
    } else {
        text += "PRN_CHAR の " + std::to_string(place_.offset) + " バイト目";
    }
    return "場所：" + text + "\r\n" + std::string(fix_the_page);
}

/* ---------------------------------------------------------------- WorkbookBuild::library_context
 */
std::string WorkbookBuild::library_context() {
    // While reading, the build knows better than the library where the job went wrong; before
    // and after, what the library says of the template or the file is the user's lead.
    if (stage_ == Stage::reading) return where();
    std::string detail;
    report_.GetErrorMessage(detail);
    const std::string file = stage_ == Stage::starting
                                 ? "テンプレート：" + s_.Template_File.string()
                                 : "保存先：" + s_.Xls_File.string();
    return detail.empty() ? file : file + "\r\n" + detail;
}

/* ---------------------------------------------------------------- WorkbookBuild::start */
void WorkbookBuild::start() {
    Sheet_Page_ = s_.Sheet_SW == 0 ? jobfiles::to_int16(s_.Page_Count + 10.0) : s_.Sheet_Page;
    if (Sheet_Page_ < 1) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call, "PRN_XLS：1 シートのページ数 " +
                                                                      std::to_string(Sheet_Page_) +
                                                                      " は 1 以上にしてください");
    }
    // The rows prepared per sheet are a 16-bit count.
    const int grid_rows = PageGridRows * Sheet_Page_;
    if (grid_rows > INT16_MAX) {
        const int largest = INT16_MAX / PageGridRows;
        throw base::RunTimeError(
            base::ErrorNumber::overflow,
            s_.Sheet_SW == 0
                ? "全ページを 1 シートにできるのは " + std::to_string(largest - 10) +
                      " ページまでです（この帳票は " + std::to_string(s_.Page_Count) +
                      " ページ）。シートを分けて変換してください。"
                : "1 シートのページ数 " + std::to_string(Sheet_Page_) + " は大きすぎます。" +
                      std::to_string(largest) + " 以下にして変換してください。");
    }
    grid_rows_ = grid_rows;
    // Created empty first: the post-processing never reads an earlier run's records.
    UdStringWriter().save(s_.job_dir / udstring_file_name);
    base::MappedFile prn_pict(s_.job_dir / "PRN_PICT");
    names_ = jobfiles::BlockMetafileNames::scan(prn_pict);

    view_.start_progress(s_.Page_Count);
    report_.SetOnErrorProc([this](std::int32_t& error_no, xlsreport::XlsReport&) {
        Make_XlsFile_R(error_no, library_context(), view_);
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
    base::MappedFile file(s_.job_dir / "PRN_CHAR");
    jobfiles::SorbelCharReader in(file.bytes());
    stage_ = Stage::reading;
    for (;;) {
        const std::size_t offset = in.offset();
        place_ = {page_, header_.Block_No, offset, nullptr};
        const auto record = in.next();
        if (!record) break;
        file.release_before(in.offset());
        read_record(*record, offset);
        view_.yield();
        if (view_.cancel_requested()) return;
    }
    // A last page without its PAGE record still reaches the workbook.
    if (in_range() && (page_has_records_ || text_placed_ || !tables_.empty())) {
        end_block();
        end_page();
    }
    stage_ = Stage::saving;
}

/* ---------------------------------------------------------------- WorkbookBuild::read_record */
void WorkbookBuild::read_record(const jobfiles::SorbelCharRecord& record, std::size_t offset) {
    const bool page_end = std::holds_alternative<jobfiles::PageEnd>(record);
    if (!in_range()) {
        if (page_end) {
            view_.set_status(page_caption("スキップ"));
            view_.step_progress();
            view_.yield();
            ++page_;
            occurrences_.new_page();
        }
        return;
    }
    // The page before filled its sheet: this page starts the next one.
    if (sheet_full_) change_sheet();
    if (const auto* text = std::get_if<jobfiles::TextRecord>(&record)) {
        place_text(*text);
    } else if (const auto* header = std::get_if<jobfiles::MatrixHeader>(&record)) {
        page_has_records_ = true;
        tables_.push_back({*header, offset, {}});
        extra_cells_told_ = false;
    } else if (const auto* row = std::get_if<jobfiles::MatrixRow>(&record)) {
        if (!tables_.empty()) tables_.back().rows.push_back(*row);
    } else if (const auto* block = std::get_if<jobfiles::SorbelBlockHeader>(&record)) {
        end_block();
        header_ = *block;
        block_seen_ = true;
        block_occurrence_ = occurrences_.next(block->Block_No);
        page_has_records_ = true;
    } else if (page_end) {
        end_block();
        end_page();
    } else if (const auto* extra = std::get_if<jobfiles::ExtraCellLine>(&record)) {
        if (!std::exchange(extra_cells_told_, true)) {
            warnings_.add(BuildWarning::extra_cells,
                          "MATRIX の行数・列数を超えるセル行があります：" + block_place() +
                              "、PRN_CHAR の " + std::to_string(extra->offset) +
                              " バイト目から（そのセルは変換されません）");
        }
    } else if (const auto* unknown = std::get_if<jobfiles::UnknownField>(&record)) {
        warnings_.add(BuildWarning::unknown_record,
                      "PRN_CHAR の不明なレコードを読み飛ばしました：" + block_place() + "、" +
                          std::to_string(unknown->offset) + " バイト目" +
                          text_excerpt(unknown->text));
    }
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
    double column = snap_to_grid((record.x - s_.Margin_Left) * 2 / Char_Size_mm10_);
    const auto told = [&](BuildWarning kind, const char* what, double at_line) {
        warnings_.add(kind, what + block_place() + "、" + jobfiles::plain_number(at_line) + "行目" +
                                text_excerpt(record.text));
    };
    // Line 100 is never written, as a line of a page that long cannot be one of its rows.
    if (line >= line_count - 1) {
        told(BuildWarning::text_lost, "ブロックの 100 行目以降の文字は出力されません：", line);
        return;
    }
    if (column >= line_columns) {
        told(BuildWarning::text_lost, "1 行 192 桁より右の文字は出力されません：", line);
        return;
    }
    if (line < 0) {
        told(BuildWarning::text_outside_grid,
             "ブロックより上の文字はブロックの先頭行に置きました：", line);
        line = 0;
    }
    if (column < 0) {
        told(BuildWarning::text_outside_grid, "左余白より左の文字は行の先頭に置きました：", line);
        column = 0;
    }
    const int c = static_cast<int>(column);
    if (cp932::AnsiByteLength(record.text) > line_columns - c) {
        told(BuildWarning::text_lost, "1 行 192 桁を超えた部分を切り捨てました：", line);
    }
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

/* ---------------------------------------------------------------- WorkbookBuild::end_block */
void WorkbookBuild::end_block() {
    std::vector<TableLines> table_lines;
    for (const BlockTable& table : tables_) {
        table_lines.push_back({table.header.m3, table.header.m1, table.header.m5});
    }
    const BlockRows rows(s_, header_, table_lines,
                         text_placed_ && lines_[0].mark != LineMark::empty);
    // A block never starts on a row that the blocks above it wrote.
    const std::int32_t top = std::max(sheet_row_ + block_row_, page_bottom_);
    write_tables(rows, top);
    if (text_placed_) write_lines(rows, top);
    if (block_seen_) {
        place_picture(top + rows.first_row());
        block_row_ = jobfiles::to_int32(static_cast<double>(top - sheet_row_) + rows.height());
    }
    if (text_placed_) clear_lines(lines_);
    text_placed_ = false;
    tables_.clear();
    table_left_columns_.clear();
}

/* ---------------------------------------------------------------- WorkbookBuild::write_tables */
void WorkbookBuild::write_tables(const BlockRows& rows, std::int32_t top) {
    for (std::size_t t = 0; t < tables_.size(); ++t) {
        const BlockTable& table = tables_[t];
        // Kept while it is written: a failure names the table's row and column.
        MatrixCells& cells = writing_table_.emplace(table.header,
                                                    MatrixPlace{.block_x1 = header_.x1,
                                                                .top_row = top + rows.table_row(t),
                                                                .sheet_number = sheet_number_},
                                                    s_);
        if (cells.moved_to_first_column()) {
            warnings_.add(BuildWarning::table_moved, "左余白より左の表は 1 列目から置きました：" +
                                                         block_place() + "、PRN_CHAR の " +
                                                         std::to_string(table.offset) +
                                                         " バイト目の MATRIX");
        }
        table_left_columns_.push_back(cells.left_column());
        place_.offset = table.offset;
        place_.table = &cells;
        for (const jobfiles::MatrixRow& row : table.rows) {
            cells.put_row(report_, row, runs_);
            page_bottom_ = std::max(page_bottom_, cells.top_row() + cells.row_being_written());
        }
        place_.table = nullptr;
        writing_table_.reset();
    }
}

/* ---------------------------------------------------------------- WorkbookBuild::write_lines */
void WorkbookBuild::write_lines(const BlockRows& rows, std::int32_t top) {
    for (int i = 0; i < line_count - 1; ++i) {
        LineBuffer& line = lines_[static_cast<std::size_t>(i)];
        if (line.mark == LineMark::empty) continue;
        const std::int32_t block_row = rows.line_row(i);
        // A line printed across a table that starts at the left margin would take the cell of
        // the table's first column.
        if (const auto t = rows.table_at(block_row)) {
            if (table_left_columns_.at(*t) == 0) {
                warnings_.add(BuildWarning::text_lost,
                              "表と重なる行の文字は出力されません：" + block_place() + "、" +
                                  std::to_string(i) + "行目" +
                                  text_excerpt(cp932::right_trim(line.text)));
                continue;
            }
        }
        const std::string text = SpreadRanges(line.text, line.ranges);
        const std::int32_t row = top + block_row;
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
void WorkbookBuild::place_picture(std::int32_t row) {
    const auto name =
        names_.name(static_cast<std::int16_t>(page_), header_.Block_No, block_occurrence_);
    if (!name) return;
    const std::filesystem::path file = s_.job_dir / "META_FILE" / *name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return;
    const std::string picture = base::load_file(file);
    const PictureSize size = metafile_frame(picture);
    const double width = size.width * s_.Pict_Scale_W;
    const double height = size.height * s_.Pict_Scale_H;
    report_.Pos(0, row, -1, -1);
    // The block's bitmaps cover the metafile's frame and go first: a later picture lies above.
    const std::filesystem::path bitmaps = std::filesystem::path(file).replace_extension(".png");
    if (std::filesystem::is_regular_file(bitmaps, ec)) {
        report_.CanvasDraw(base::load_file(bitmaps), s_.Pict_Offset, 0, width, height);
        report_.ReleasePicture(report_.GetPicture());
    }
    report_.CanvasDraw(picture, s_.Pict_Offset, 0, width, height);
    report_.ReleasePicture(report_.GetPicture());
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
    sheet_full_ = pages_written_ % Sheet_Page_ == 0;
    ++page_;
    ++pages_written_;
    header_.Block_No = -1;
    header_.x1 = header_.y1 = header_.x2 = header_.y2 = 0;
    block_row_ = 0;
    page_bottom_ = sheet_row_;
    page_has_records_ = false;
    occurrences_.new_page();
}

/* ---------------------------------------------------------------- WorkbookBuild::change_sheet */
void WorkbookBuild::change_sheet() {
    report_.PageName(sheet_name(*first_page_of_sheet_, last_page_written_));
    first_page_of_sheet_.reset();
    delete_unused_rows();
    must(report_.PageEnd());
    begin_sheet();
    sheet_row_ = 0;
    page_bottom_ = 0;
    sheet_full_ = false;
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
    if (!first_page_of_sheet_) {
        throw base::RunTimeError(base::ErrorNumber::input_past_end,
                                 "PRN_CHAR にページ " + std::to_string(s_.Start_Page) + "～" +
                                     std::to_string(s_.End_Page) + " がありません");
    }
    if (page_ <= s_.End_Page) {
        view_.add_warning("PRN_CHAR にページ " + std::to_string(page_) + "～" +
                          std::to_string(s_.End_Page) + " がありません（変換されません）");
    }
    warnings_.finish();
    report_.PageName(sheet_name(*first_page_of_sheet_, last_page_written_));
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
    // The post-processing formats the runs and saves every sheet again: deflated once, then.
    report_.OptionPutStoredSheets(runs_.empty() ? 0 : -1);
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
        view_.show_message(BoxIcon::none, "Error", failed_call_text(error_no, library_context()));
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
        if (stage_ == Stage::reading) text += "\r\n" + where();
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
