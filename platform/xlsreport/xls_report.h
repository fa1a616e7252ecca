// The report library: fills a workbook template (.xlsx) sheet by sheet and saves the result as
// a real .xlsx that Excel, LibreOffice Calc and openpyxl open without repair.
//
// The entries keep the report library's names and its calling contract:
// - Calls that answer with a result return 0 when they failed and 1 when they did their work;
//   the number of the failure is then in GetErrorNo() and a text in GetErrorMessage().
// - Calls whose result callers do not test (positions, values, attributes, breaks, pictures,
//   names, row deletion) also raise the error callback when they fail, so a failure never
//   passes unseen. Calls that callers must test (file name, start, page begin and end,
//   margins, save, release) only return 0.
// - Texts and file names come in as CP932 (Shift_JIS) bytes; the workbook holds UTF-8.
//   Bytes that are no character, and characters XML 1.0 cannot carry, become U+FFFD.
// - Rows and columns count from 0; a position (c, r, -1, -1) selects one cell.
// - Lengths are points (1/72 inch) unless a call says otherwise.
//
// One sheet is open between PageBegin and PageEnd; it starts as a copy of a template sheet
// (column widths, standard row height, default font and styles, page setup, print options,
// header and footer with their pictures, its sheet-scoped names such as print titles and print
// area moved to the new sheet; not its cells). The workbook keeps the template's workbook-wide
// names that still resolve and its descriptive document properties. Only the open sheet is held as
// cells: PageEnd turns it into its finished part (compact XML), so no sheet is ever held as a tree.
// OutFile writes the whole workbook under a temporary name in the target folder and renames it: the
// file is complete or absent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace xlsreport {

// Error numbers, with the report library's own numbering.
namespace error {
inline constexpr std::int32_t none = 0;
inline constexpr std::int32_t file_cannot_open = 1;
inline constexpr std::int32_t invalid_handle = 2;
inline constexpr std::int32_t not_open = 3;
inline constexpr std::int32_t sheet_number = 4;
inline constexpr std::int32_t write_error = 5;
inline constexpr std::int32_t mode_error = 6;
inline constexpr std::int32_t data_kind = 7;
inline constexpr std::int32_t length = 31;
inline constexpr std::int32_t coordinate = 32;
inline constexpr std::int32_t attribute_number = 33;
inline constexpr std::int32_t parameter = 34;
inline constexpr std::int32_t no_data = 35;
inline constexpr std::int32_t out_of_memory = 40;
inline constexpr std::int32_t internal = 50;
inline constexpr std::int32_t already_open = 200;
inline constexpr std::int32_t begin_end_mismatch = 204;
inline constexpr std::int32_t no_such_sheet = 205;
inline constexpr std::int32_t start_out_unpaired = 207;
inline constexpr std::int32_t save_stopped = 214;
inline constexpr std::int32_t save_failed = 216;
}  // namespace error

// Horizontal alignment codes of AttrPutPosHorz.
inline constexpr std::int32_t pos_left = 21;
inline constexpr std::int32_t pos_centre = 22;
inline constexpr std::int32_t pos_right = 23;

// Vertical alignment codes of AttrPutPosVert.
inline constexpr std::int32_t pos_top = 0;
inline constexpr std::int32_t pos_middle = 1;
inline constexpr std::int32_t pos_bottom = 2;

// Line codes of the AttrPutLine calls: the top byte is the line style in Excel's own numbering
// of border styles, the lower three bytes must be 0. 0 removes the line.
inline constexpr std::int32_t line_none = 0;
inline constexpr std::int32_t line_thin = 0x01000000;
inline constexpr std::int32_t line_medium = 0x02000000;
inline constexpr std::int32_t line_hair = 0x07000000;

class XlsReport;

// Error callback: the failed call's number (the callee may change it) and the report.
using ErrorProc = std::function<void(std::int32_t& error_no, XlsReport& report)>;

// Progress callback, once per sheet written by OutFile: sheets done (1 for the first), sheets
// in all, and the cancel flag: set it to -1 (any non-zero value) to stop the save, which then
// fails with error::save_stopped and leaves no file.
using ProgressProc =
    std::function<void(std::int32_t sheets_done, std::int32_t sheets_total, std::int16_t& cancel)>;

// Warning callback: one line (UTF-8) naming the template and what of it the workbook could not
// carry (a name that does not parse or resolve, a print area the sheet's pages do not fit, a
// header picture whose part is missing). The call that noticed it still succeeds. StartFile,
// PageBegin and OutFile may call it.
using WarningProc = std::function<void(const std::string& utf8_line)>;

class XlsReport {
  public:
    // `application` is written as the workbook's application (docProps/app.xml).
    explicit XlsReport(std::string application = {});
    ~XlsReport();
    XlsReport(const XlsReport&) = delete;
    XlsReport& operator=(const XlsReport&) = delete;

    void SetOnErrorProc(ErrorProc proc);
    void SetOnProgressProc(ProgressProc proc);
    // Without one, warnings are not kept.
    void SetOnWarningProc(WarningProc proc);

    // Path of the template workbook (.xlsx).
    std::int16_t PutFileName(const std::string& template_path);
    // The library never shows a dialog; kept for callers that switch it off.
    std::int16_t OptionPutProgressDialog(std::int32_t show);
    // -1: OutFile stores the worksheets uncompressed, for a workbook that is opened and its
    // sheets saved again at once (a post-processing pass that formats their cells deflates
    // them then, once); 0, as at the start: deflated. Not the report library's own: a
    // workbook stored so is larger, and is meant to be saved again.
    std::int16_t OptionPutStoredSheets(std::int32_t stored);
    // Reads the template. Fails with file_cannot_open when it is missing or no workbook.
    std::int16_t StartFile();

    // Opens a new sheet named `sheet_name`, a copy of the template sheet whose name is
    // `template_sheet` (or, when no sheet has that name and it is a number n, the n-th sheet).
    std::int16_t PageBegin(const std::string& sheet_name, const std::string& template_sheet);
    // Page margins of the open sheet in whole millimetres: left, header, top, right, footer,
    // bottom.
    std::int16_t PageAttrMargin(std::int32_t left, std::int32_t header, std::int32_t top,
                                std::int32_t right, std::int32_t footer, std::int32_t bottom);

    // Selects cells col..col2 x row..row2 of the open sheet; col2 = row2 = -1 selects one cell.
    std::int16_t Pos(std::int32_t col, std::int32_t row, std::int32_t col2, std::int32_t row2);
    // Height of every selected row, in points (more than 0, at most 409).
    std::int16_t PutRowHeight(double points);
    // Text of the selection's first cell.
    std::int16_t PutValueString(const std::string& text);
    std::int16_t AttrPutFontName(const std::string& name);
    std::int16_t AttrPutFontPoint(double points);
    // -1 merges the selection into one cell (merges it overlaps are dissolved); 0 dissolves
    // the merges that lie inside the selection.
    std::int16_t AttrPutJoint(std::int32_t join);
    std::int16_t AttrPutPosHorz(std::int32_t code);
    std::int16_t AttrPutPosVert(std::int32_t code);
    // Lines of every selected cell. LeftUp runs from the top-left corner down to the
    // bottom-right one, RightUp from the top-right corner down to the bottom-left one.
    std::int16_t AttrPutLineTop(std::int32_t line_code);
    std::int16_t AttrPutLineBottom(std::int32_t line_code);
    std::int16_t AttrPutLineLeft(std::int32_t line_code);
    std::int16_t AttrPutLineRight(std::int32_t line_code);
    std::int16_t AttrPutLineLeftUp(std::int32_t line_code);
    std::int16_t AttrPutLineRightUp(std::int32_t line_code);
    // -1: a manual page break above the first selected row (none above row 0) and one left of
    // the first selected column (none left of column 0), as a cell's page break does in
    // Excel. 0 removes both.
    std::int16_t PutBreak(std::int32_t on);

    // Places a picture over the sheet: its top-left corner `x`, `y` points right of and below
    // the top-left corner of the selection's first cell, `width` x `height` points. `picture`
    // holds the bytes of an enhanced metafile (kept as a vector picture, image/x-emf), a PNG or
    // a JPEG (data_kind for anything else); pictures drawn later lie above earlier ones, and
    // the same bytes drawn again are stored once. Excel measures the offsets inside the cell:
    // keep them below the cell's width and height.
    std::int16_t CanvasDraw(std::string_view picture, double x, double y, double width,
                            double height);
    // Handle of the picture CanvasDraw placed last (0 and no_data when there is none); it stays
    // valid until ReleasePicture. The picture stays on the sheet either way.
    std::int32_t GetPicture();
    std::int16_t ReleasePicture(std::int32_t picture_handle);

    // Renames the open sheet. Names are 1 to 31 characters without : \ / ? * [ ], not
    // beginning or ending with ', and unique within the workbook.
    std::int16_t PageName(const std::string& sheet_name);
    // Deletes `count` rows of the open sheet from `first_row` on; rows below move up.
    std::int16_t RowDelete(std::int32_t first_row, std::int32_t count);
    std::int16_t PageEnd();
    // Sheets begun so far, the open one included.
    std::int32_t PageTotalCount();

    // Saves the workbook to `output_path` (.xlsx). `overwrite` -1 replaces an existing file,
    // 0 refuses to (file_cannot_open). Calls the progress callback once per sheet written.
    std::int16_t OutFile(const std::string& output_path, std::int32_t overwrite);
    // Gives up the workbook without writing anything.
    std::int16_t OutCancel();
    // Frees the workbook; no call but the error queries works afterwards.
    std::int16_t Release();

    // Number of the last failed call (0 when none failed).
    std::int32_t GetErrorNo() const;
    // Text of the last failure (UTF-8, with what failed); returns its length in bytes.
    std::int32_t GetErrorMessage(std::string& text) const;

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace xlsreport
