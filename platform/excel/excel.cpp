#include "platform/excel/excel.h"

#include <charconv>
#include <cmath>

#include "platform/excel/book.h"
#include "platform/excel/excel_errors.h"

namespace excel {

namespace {

std::string point_size(double points) {
    if (!std::isfinite(points) || points < 1 || points > 409) {
        detail::bad_reference("font size " + std::to_string(points));
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, points);
    return std::string(buffer, result.ptr);
}

}  // namespace

/* ---------------------------------------------------------------- Font */
void Font::Superscript(bool value) {
    book_->format(sheet_, cell_, start_, length_,
                  value ? detail::Book::FontSetting::superscript
                        : detail::Book::FontSetting::not_superscript);
}

void Font::Size(double points) {
    book_->format(sheet_, cell_, start_, length_, detail::Book::FontSetting::size,
                  point_size(points));
}

void Font::Name(std::string_view name) {
    book_->format(sheet_, cell_, start_, length_, detail::Book::FontSetting::name, name);
}

/* ---------------------------------------------------------------- Range::Select */
void Range::Select() const {
    book_->select_range(sheet_, first_, last_);
}

/* ---------------------------------------------------------------- Worksheet */
std::string Worksheet::Name() const {
    return book_->sheet(index_).name;
}

bool Worksheet::Visible() const {
    return book_->sheet(index_).visible;
}

void Worksheet::Select() const {
    book_->select_sheet(index_);
}

excel::Range Worksheet::Cells(std::int32_t row, std::int32_t column) const {
    if (row < 1 || row > detail::max_row || column < 1 || column > detail::max_column) {
        detail::bad_reference("Cells(" + std::to_string(row) + ", " + std::to_string(column) + ")");
    }
    const detail::CellPosition cell{row, column};
    return excel::Range(*book_, index_, cell, cell);
}

excel::Range Worksheet::Range(std::string_view address) const {
    const std::size_t colon = address.find(':');
    const auto first = detail::parse_cell_reference(address.substr(0, colon));
    const auto last = colon == std::string_view::npos
                          ? first
                          : detail::parse_cell_reference(address.substr(colon + 1));
    if (!first || !last) detail::bad_reference("Range(\"" + std::string(address) + "\")");
    const detail::CellPosition top_left{std::min(first->row, last->row),
                                        std::min(first->column, last->column)};
    const detail::CellPosition bottom_right{std::max(first->row, last->row),
                                            std::max(first->column, last->column)};
    return excel::Range(*book_, index_, top_left, bottom_right);
}

/* ---------------------------------------------------------------- Workbook */
Workbook::Workbook(std::unique_ptr<detail::Book> book) : book_(std::move(book)) {}

Workbook::~Workbook() = default;

detail::Book& Workbook::book() const {
    if (!book_) detail::workbook_closed();
    return *book_;
}

excel::Worksheet Workbook::Worksheets(std::size_t index) {
    const auto sheet = book().find_worksheet(index);
    if (index == 0 || !sheet) detail::no_such_sheet("Worksheets(" + std::to_string(index) + ")");
    return excel::Worksheet(book(), *sheet);
}

std::size_t Workbook::WorksheetsCount() const {
    return book().worksheet_count();
}

excel::Worksheet Workbook::Sheets(std::size_t index) {
    if (index == 0 || index > book().sheet_count()) {
        detail::no_such_sheet("Sheets(" + std::to_string(index) + ")");
    }
    return excel::Worksheet(book(), index - 1);
}

excel::Worksheet Workbook::Sheets(std::string_view name) {
    const auto sheet = book().find_sheet(name);
    if (!sheet) detail::no_such_sheet("Sheets(\"" + std::string(name) + "\")");
    return excel::Worksheet(book(), *sheet);
}

void Workbook::SaveAs(const std::filesystem::path& file, XlSaveAsAccessMode access_mode) {
    if (access_mode == xlShared) detail::bad_reference("shared workbooks are not kept");
    book().save_as(file, display_alerts_ != nullptr && *display_alerts_);
}

void Workbook::Close() {
    book_.reset();
}

/* ---------------------------------------------------------------- Workbooks::Open */
Workbook& Workbooks::Open(const std::filesystem::path& file) {
    auto workbook = std::make_unique<Workbook>(std::make_unique<detail::Book>(file));
    workbook->display_alerts_ = display_alerts_;
    open_.push_back(std::move(workbook));
    return *open_.back();
}

/* ---------------------------------------------------------------- Application::Quit */
void Application::Quit() {
    for (const auto& workbook : workbooks_.open_) workbook->Close();
}

}  // namespace excel
