// The entries of the report library: argument checks, the order calls must come in, and the
// error number every failure leaves behind.
#include "platform/xlsreport/xls_report.h"

#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "platform/ooxml/media.h"
#include "platform/xlsreport/cell_text.h"
#include "platform/xlsreport/picture_media.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/sheet_model.h"
#include "platform/xlsreport/sheet_names.h"
#include "platform/xlsreport/template_book.h"
#include "platform/xlsreport/workbook_writer.h"

namespace xlsreport {

using detail::CellFormat;
using detail::CellRange;
using detail::fail;
using detail::ReportFailure;

struct XlsReport::State {
    enum class Phase { created, started, saved, cancelled, released };

    XlsReport* self = nullptr;
    ErrorProc on_error;
    ProgressProc on_progress;
    WarningProc on_warning;
    std::string application;
    std::int32_t error_no = error::none;
    std::string error_message;

    Phase phase = Phase::created;
    std::filesystem::path template_path;
    std::unique_ptr<detail::TemplateBook> book;
    std::unique_ptr<detail::WorkbookWriter> writer;
    std::optional<detail::SheetModel> sheet;
    const detail::TemplateSheet* sheet_template = nullptr;
    std::set<const detail::TemplateSheet*> sheets_told;  // whose warnings were told
    std::vector<std::string> finished_names;
    std::optional<CellRange> selection;
    bool drew_picture = false;
    bool stored_sheets = false;
    std::int32_t next_picture_handle = 1;
    std::map<std::int32_t, bool> picture_handles;
};

namespace {

using State = XlsReport::State;
using Phase = State::Phase;

constexpr std::int16_t done = 1;

// Runs one entry's work. A failure leaves its number and text behind and makes the entry
// return 0; with `raise` the error callback hears of it too. Exceptions the callback throws
// pass through to the caller.
template <typename Work>
auto guarded(State& state, bool raise, Work work) -> decltype(work()) {
    using Result = decltype(work());
    std::int32_t number = error::none;
    std::string what;
    try {
        return work();
    } catch (const ReportFailure& failure) {
        number = failure.number;
        what = failure.what;
    } catch (const std::bad_alloc&) {
        number = error::out_of_memory;
    } catch (const base::RunTimeError& e) {
        number = error::internal;
        what = e.description() + (e.context().empty() ? "" : " (" + e.context() + ")");
    } catch (const std::exception& e) {
        number = error::internal;
        what = e.what();
    }
    state.error_no = number;
    state.error_message = std::string(detail::report_error_text(number));
    if (!what.empty()) state.error_message += ": " + what;
    if (raise && state.on_error) {
        std::int32_t reported = number;
        state.on_error(reported, *state.self);
    }
    return Result{};
}

void warn(const State& state, const std::string& line) {
    if (state.on_warning) state.on_warning(line);
}

void require_released_not(const State& state) {
    if (state.phase == Phase::released) fail(error::invalid_handle, "the report was released");
}

void require_started(const State& state) {
    require_released_not(state);
    if (state.phase == Phase::created) fail(error::not_open, "StartFile was not called");
    if (state.phase != Phase::started)
        fail(error::mode_error, "the workbook was saved or given up");
}

detail::SheetModel& open_sheet(State& state) {
    require_started(state);
    if (!state.sheet) fail(error::begin_end_mismatch, "no sheet is open (PageBegin)");
    return *state.sheet;
}

const CellRange& selection(State& state) {
    open_sheet(state);
    if (!state.selection) fail(error::coordinate, "no cell is selected (Pos)");
    return *state.selection;
}

// File names come as CP932 like every text; the file system takes UTF-8.
std::filesystem::path file_path(const std::string& cp932_path) {
    if (cp932_path.empty()) fail(error::parameter, "empty file name");
    return std::filesystem::path(cp932::to_utf8(cp932_path));
}

void check_sheet_name(const State& state, const std::string& utf8) {
    if (!detail::valid_sheet_name(utf8)) fail(error::parameter, "sheet name \"" + utf8 + "\"");
    for (const std::string& other : state.finished_names) {
        if (detail::same_sheet_name(other, utf8))
            fail(error::parameter, "sheet name \"" + utf8 + "\" is taken");
    }
}

std::int16_t put_line(State& state, detail::Side side, std::int32_t code) {
    return guarded(state, true, [&] {
        const CellRange range = selection(state);
        const auto style = detail::line_style_of_code(code);
        if (!style) fail(error::attribute_number, "line code " + std::to_string(code));
        const auto index = static_cast<std::size_t>(side);
        state.sheet->change_format(range, [&](CellFormat& f) { f.lines[index] = *style; });
        return done;
    });
}

}  // namespace

/* ------------------------------------------------------------ XlsReport */
XlsReport::XlsReport(std::string application) : state_(std::make_unique<State>()) {
    state_->self = this;
    state_->application = std::move(application);
}

XlsReport::~XlsReport() = default;

/* ------------------------------------------------------------ SetOnErrorProc */
void XlsReport::SetOnErrorProc(ErrorProc proc) {
    state_->on_error = std::move(proc);
}

/* ------------------------------------------------------------ SetOnProgressProc */
void XlsReport::SetOnProgressProc(ProgressProc proc) {
    state_->on_progress = std::move(proc);
}

/* ------------------------------------------------------------ SetOnWarningProc */
void XlsReport::SetOnWarningProc(WarningProc proc) {
    state_->on_warning = std::move(proc);
}

/* ------------------------------------------------------------ PutFileName */
std::int16_t XlsReport::PutFileName(const std::string& template_path) {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        if (state_->phase != Phase::created) fail(error::already_open, "StartFile was called");
        state_->template_path = file_path(template_path);
        return done;
    });
}

/* ------------------------------------------------------------ OptionPutProgressDialog */
std::int16_t XlsReport::OptionPutProgressDialog(std::int32_t /*show*/) {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        return done;
    });
}

/* ------------------------------------------------------------ OptionPutStoredSheets */
std::int16_t XlsReport::OptionPutStoredSheets(std::int32_t stored) {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        if (stored != -1 && stored != 0) fail(error::parameter, "stored " + std::to_string(stored));
        state_->stored_sheets = stored == -1;
        return done;
    });
}

/* ------------------------------------------------------------ StartFile */
std::int16_t XlsReport::StartFile() {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        if (state_->phase != Phase::created) fail(error::already_open, "StartFile was called");
        if (state_->template_path.empty())
            fail(error::file_cannot_open, "no template (PutFileName)");
        auto book = detail::TemplateBook::read(state_->template_path);
        ooxml::DocumentProperties properties = book->properties();
        properties.application = state_->application;
        properties.created = ooxml::w3c_date_time(std::chrono::system_clock::now());
        state_->writer = std::make_unique<detail::WorkbookWriter>(
            *book, std::move(properties),
            [state = state_.get()](const std::string& line) { warn(*state, line); });
        for (const std::string& line : book->warnings()) warn(*state_, line);
        state_->book = std::move(book);
        state_->phase = Phase::started;
        return done;
    });
}

/* ------------------------------------------------------------ PageBegin */
std::int16_t XlsReport::PageBegin(const std::string& sheet_name,
                                  const std::string& template_sheet) {
    return guarded(*state_, false, [&] {
        require_started(*state_);
        if (state_->sheet) fail(error::begin_end_mismatch, "a sheet is open (PageEnd)");
        const detail::TemplateSheet* from = state_->book->sheet(cp932::to_utf8(template_sheet));
        if (from == nullptr)
            fail(error::no_such_sheet, "template sheet \"" + cp932::to_utf8(template_sheet) +
                                           "\" of " + state_->book->file_name());
        const std::string name = cp932::to_utf8(sheet_name);
        check_sheet_name(*state_, name);
        state_->sheet.emplace(name);
        state_->sheet_template = from;
        if (state_->sheets_told.insert(from).second) {
            for (const std::string& line : from->warnings) warn(*state_, line);
        }
        state_->selection.reset();
        state_->drew_picture = false;
        return done;
    });
}

/* ------------------------------------------------------------ PageAttrMargin */
std::int16_t XlsReport::PageAttrMargin(std::int32_t left, std::int32_t header, std::int32_t top,
                                       std::int32_t right, std::int32_t footer,
                                       std::int32_t bottom) {
    return guarded(*state_, false, [&] {
        detail::SheetModel& sheet = open_sheet(*state_);
        for (const std::int32_t mm : {left, header, top, right, footer, bottom}) {
            // Excel takes margins below 49 inches.
            if (mm < 0 || mm > 1244) fail(error::parameter, "margin " + std::to_string(mm) + " mm");
        }
        sheet.set_margins({static_cast<double>(left), static_cast<double>(header),
                           static_cast<double>(top), static_cast<double>(right),
                           static_cast<double>(footer), static_cast<double>(bottom)});
        return done;
    });
}

/* ------------------------------------------------------------ Pos */
std::int16_t XlsReport::Pos(std::int32_t col, std::int32_t row, std::int32_t col2,
                            std::int32_t row2) {
    return guarded(*state_, true, [&] {
        open_sheet(*state_);
        if (col2 == -1 && row2 == -1) {
            col2 = col;
            row2 = row;
        }
        const bool inside = col >= 0 && row >= 0 && col <= col2 && row <= row2 &&
                            col2 <= detail::max_col && row2 <= detail::max_row;
        if (!inside) {
            state_->selection.reset();
            fail(error::coordinate, "(" + std::to_string(col) + ", " + std::to_string(row) + ", " +
                                        std::to_string(col2) + ", " + std::to_string(row2) + ")");
        }
        state_->selection = CellRange{col, row, col2, row2};
        return done;
    });
}

/* ------------------------------------------------------------ PutRowHeight */
std::int16_t XlsReport::PutRowHeight(double points) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        if (!(points > 0 && points <= 409))
            fail(error::parameter, "row height " + std::to_string(points));
        state_->sheet->set_row_height(range.row1, range.row2, points);
        return done;
    });
}

/* ------------------------------------------------------------ PutValueString */
std::int16_t XlsReport::PutValueString(const std::string& text) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        std::string utf8 = detail::cell_text(text);
        if (detail::utf16_length(utf8) > detail::max_cell_text)
            fail(error::length, std::to_string(detail::utf16_length(utf8)) + " characters");
        const bool formula_like = utf8.starts_with('=');
        state_->sheet->set_text(range.col1, range.row1, std::move(utf8));
        const CellRange cell{range.col1, range.row1, range.col1, range.row1};
        state_->sheet->change_format(cell, [&](CellFormat& f) { f.quote_prefix = formula_like; });
        return done;
    });
}

/* ------------------------------------------------------------ AttrPutFontName */
std::int16_t XlsReport::AttrPutFontName(const std::string& name) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        const std::string utf8 = cp932::to_utf8(name);
        // Excel keeps font names to 31 characters.
        if (utf8.empty() || detail::utf16_length(utf8) > 31)
            fail(error::parameter, "font name \"" + utf8 + "\"");
        state_->sheet->change_format(range, [&](CellFormat& f) { f.font_name = utf8; });
        return done;
    });
}

/* ------------------------------------------------------------ AttrPutFontPoint */
std::int16_t XlsReport::AttrPutFontPoint(double points) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        if (!(points >= 1 && points <= 409))
            fail(error::parameter, "font size " + std::to_string(points));
        state_->sheet->change_format(range, [&](CellFormat& f) { f.font_points = points; });
        return done;
    });
}

/* ------------------------------------------------------------ AttrPutJoint */
std::int16_t XlsReport::AttrPutJoint(std::int32_t join) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        if (join == -1) {
            state_->sheet->merge(range);
        } else if (join == 0) {
            state_->sheet->unmerge(range);
        } else {
            fail(error::parameter, "join " + std::to_string(join));
        }
        return done;
    });
}

/* ------------------------------------------------------------ AttrPutPosHorz */
std::int16_t XlsReport::AttrPutPosHorz(std::int32_t code) {
    return guarded(*state_, true, [&] {
        using detail::Horizontal;
        const CellRange range = selection(*state_);
        Horizontal value = Horizontal::general;
        switch (code) {
            case pos_left:
                value = Horizontal::left;
                break;
            case pos_centre:
                value = Horizontal::centre;
                break;
            case pos_right:
                value = Horizontal::right;
                break;
            default:
                fail(error::attribute_number, "horizontal position " + std::to_string(code));
        }
        state_->sheet->change_format(range, [&](CellFormat& f) { f.horizontal = value; });
        return done;
    });
}

/* ------------------------------------------------------------ AttrPutPosVert */
std::int16_t XlsReport::AttrPutPosVert(std::int32_t code) {
    return guarded(*state_, true, [&] {
        using detail::Vertical;
        const CellRange range = selection(*state_);
        Vertical value = Vertical::template_default;
        switch (code) {
            case pos_top:
                value = Vertical::top;
                break;
            case pos_middle:
                value = Vertical::middle;
                break;
            case pos_bottom:
                value = Vertical::bottom;
                break;
            default:
                fail(error::attribute_number, "vertical position " + std::to_string(code));
        }
        state_->sheet->change_format(range, [&](CellFormat& f) { f.vertical = value; });
        return done;
    });
}

/* ------------------------------------------------------------ AttrPutLine... */
std::int16_t XlsReport::AttrPutLineTop(std::int32_t code) {
    return put_line(*state_, detail::Side::top, code);
}

std::int16_t XlsReport::AttrPutLineBottom(std::int32_t code) {
    return put_line(*state_, detail::Side::bottom, code);
}

std::int16_t XlsReport::AttrPutLineLeft(std::int32_t code) {
    return put_line(*state_, detail::Side::left, code);
}

std::int16_t XlsReport::AttrPutLineRight(std::int32_t code) {
    return put_line(*state_, detail::Side::right, code);
}

std::int16_t XlsReport::AttrPutLineLeftUp(std::int32_t code) {
    return put_line(*state_, detail::Side::left_up, code);
}

std::int16_t XlsReport::AttrPutLineRightUp(std::int32_t code) {
    return put_line(*state_, detail::Side::right_up, code);
}

/* ------------------------------------------------------------ PutBreak */
std::int16_t XlsReport::PutBreak(std::int32_t on) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        if (on != -1 && on != 0) fail(error::parameter, "break " + std::to_string(on));
        // Excel keeps at most 1026 manual breaks of each kind on a sheet and repairs a file
        // with more.
        constexpr std::size_t max_breaks = 1026;
        const auto& sheet = *state_->sheet;
        if (on == -1 && ((range.row1 > 0 && !sheet.row_breaks().contains(range.row1) &&
                          sheet.row_breaks().size() >= max_breaks) ||
                         (range.col1 > 0 && !sheet.col_breaks().contains(range.col1) &&
                          sheet.col_breaks().size() >= max_breaks)))
            fail(error::parameter, "more than 1026 page breaks on one sheet");
        state_->sheet->set_break(range.col1, range.row1, on == -1);
        return done;
    });
}

/* ------------------------------------------------------------ CanvasDraw */
std::int16_t XlsReport::CanvasDraw(std::string_view picture, double x, double y, double width,
                                   double height) {
    return guarded(*state_, true, [&] {
        const CellRange range = selection(*state_);
        const auto type = ooxml::media_type_of(picture);
        if (!type) fail(error::data_kind, "the picture is no enhanced metafile, PNG or JPEG");
        // A picture must start on the sheet and have a size Excel can hold (below 2^31 EMU).
        constexpr double max_points = 169000;
        const bool sane = std::isfinite(x) && std::isfinite(y) && x >= 0 && y >= 0 &&
                          x <= max_points && y <= max_points && width > 0 && height > 0 &&
                          width <= max_points && height <= max_points;
        if (!sane) fail(error::parameter, "picture position or size");
        const std::size_t media = state_->writer->media().add(*type, picture);
        state_->sheet->place_picture({media, range.col1, range.row1, x, y, width, height});
        state_->drew_picture = true;
        return done;
    });
}

/* ------------------------------------------------------------ GetPicture */
std::int32_t XlsReport::GetPicture() {
    return guarded(*state_, true, [&] {
        open_sheet(*state_);
        if (!state_->drew_picture) fail(error::no_data, "no picture was drawn on this sheet");
        const std::int32_t handle = state_->next_picture_handle++;
        state_->picture_handles.emplace(handle, true);
        return handle;
    });
}

/* ------------------------------------------------------------ ReleasePicture */
std::int16_t XlsReport::ReleasePicture(std::int32_t picture_handle) {
    return guarded(*state_, true, [&] {
        require_released_not(*state_);
        if (state_->picture_handles.erase(picture_handle) == 0)
            fail(error::invalid_handle, "picture handle " + std::to_string(picture_handle));
        return done;
    });
}

/* ------------------------------------------------------------ PageName */
std::int16_t XlsReport::PageName(const std::string& sheet_name) {
    return guarded(*state_, true, [&] {
        detail::SheetModel& sheet = open_sheet(*state_);
        const std::string name = cp932::to_utf8(sheet_name);
        check_sheet_name(*state_, name);
        sheet.rename(name);
        return done;
    });
}

/* ------------------------------------------------------------ RowDelete */
std::int16_t XlsReport::RowDelete(std::int32_t first_row, std::int32_t count) {
    return guarded(*state_, true, [&] {
        detail::SheetModel& sheet = open_sheet(*state_);
        if (first_row < 0 || first_row > detail::max_row)
            fail(error::coordinate, "row " + std::to_string(first_row));
        if (count < 0) fail(error::parameter, "row count " + std::to_string(count));
        sheet.delete_rows(first_row, std::min(count, detail::max_row + 1 - first_row));
        return done;
    });
}

/* ------------------------------------------------------------ PageEnd */
std::int16_t XlsReport::PageEnd() {
    return guarded(*state_, false, [&] {
        detail::SheetModel& sheet = open_sheet(*state_);
        state_->finished_names.push_back(sheet.name());
        state_->writer->add_sheet(std::move(sheet), *state_->sheet_template);
        state_->sheet.reset();
        state_->selection.reset();
        return done;
    });
}

/* ------------------------------------------------------------ PageTotalCount */
std::int32_t XlsReport::PageTotalCount() {
    return guarded(*state_, true, [&] {
        require_started(*state_);
        return static_cast<std::int32_t>(state_->finished_names.size()) + (state_->sheet ? 1 : 0);
    });
}

/* ------------------------------------------------------------ OutFile */
std::int16_t XlsReport::OutFile(const std::string& output_path, std::int32_t overwrite) {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        if (state_->phase == Phase::created)
            fail(error::start_out_unpaired, "StartFile was not called");
        if (state_->phase == Phase::cancelled) fail(error::mode_error, "the workbook was given up");
        if (state_->sheet) fail(error::begin_end_mismatch, "a sheet is still open (PageEnd)");
        if (state_->finished_names.empty()) fail(error::no_data, "the workbook has no sheet");
        if (overwrite != -1 && overwrite != 0)
            fail(error::parameter, "overwrite " + std::to_string(overwrite));
        const std::filesystem::path file = file_path(output_path);
        const auto progress = [&](std::int32_t sheets_done, std::int32_t total) {
            std::int16_t cancel = 0;
            if (state_->on_progress) state_->on_progress(sheets_done, total, cancel);
            return cancel == 0;
        };
        state_->writer->save(file, overwrite == -1, progress, state_->stored_sheets);
        state_->phase = Phase::saved;
        return done;
    });
}

/* ------------------------------------------------------------ OutCancel */
std::int16_t XlsReport::OutCancel() {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        state_->sheet.reset();
        state_->selection.reset();
        state_->writer.reset();
        if (state_->phase != Phase::created) state_->phase = Phase::cancelled;
        return done;
    });
}

/* ------------------------------------------------------------ Release */
std::int16_t XlsReport::Release() {
    return guarded(*state_, false, [&] {
        require_released_not(*state_);
        state_->sheet.reset();
        state_->writer.reset();
        state_->book.reset();
        state_->picture_handles.clear();
        state_->phase = Phase::released;
        return done;
    });
}

/* ------------------------------------------------------------ GetErrorNo */
std::int32_t XlsReport::GetErrorNo() const {
    return state_->error_no;
}

/* ------------------------------------------------------------ GetErrorMessage */
std::int32_t XlsReport::GetErrorMessage(std::string& text) const {
    text = state_->error_message;
    return static_cast<std::int32_t>(text.size());
}

}  // namespace xlsreport
