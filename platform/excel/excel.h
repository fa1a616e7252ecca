// A small stand-in for the part of Excel's automation interface that finishing a workbook
// needs: open a saved .xlsx, format runs of characters inside cells, select sheets and cells,
// save it again. It works on the package itself; no Excel runs.
//
// Names follow Excel's object model, so that a caller reads like the automation code it
// replaces: app.Workbooks().Open(path).Worksheets(1).Cells(3, 1).Characters(5, 2).Font()
// .Superscript(true). Rows, columns, sheet and character positions count from 1, characters in
// UTF-16 units as Excel counts them. Texts are UTF-8. Errors are base::RunTimeError carrying
// the number and the text Excel's automation would report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/excel/cell_reference.h"

namespace excel {

namespace detail {
class Book;
}

// XlSaveAsAccessMode.
enum XlSaveAsAccessMode : int { xlNoChange = 1, xlShared = 2, xlExclusive = 3 };

// The font of a run of characters. Each setter changes that property of every character of
// the run and leaves the others as they were; characters outside the run keep their font.
class Font {
  public:
    void Superscript(bool value);
    void Size(double points);
    void Name(std::string_view name);

  private:
    friend class Characters;
    Font(detail::Book& book, std::size_t sheet, detail::CellPosition cell, long long start,
         long long length)
        : book_(&book), sheet_(sheet), cell_(cell), start_(start), length_(length) {}

    detail::Book* book_;
    std::size_t sheet_;
    detail::CellPosition cell_;
    long long start_;
    long long length_;
};

class Characters {
  public:
    excel::Font Font() const { return excel::Font(*book_, sheet_, cell_, start_, length_); }

  private:
    friend class Range;
    Characters(detail::Book& book, std::size_t sheet, detail::CellPosition cell, long long start,
               long long length)
        : book_(&book), sheet_(sheet), cell_(cell), start_(start), length_(length) {}

    detail::Book* book_;
    std::size_t sheet_;
    detail::CellPosition cell_;
    long long start_;
    long long length_;
};

class Range {
  public:
    // The characters of the range's first cell; a run reaching past the text's end formats the
    // characters that are there, and a cell without text has none.
    excel::Characters Characters(long long start, long long length) const {
        return excel::Characters(*book_, sheet_, first_, start, length);
    }
    // Only on the active sheet, as in Excel.
    void Select() const;

  private:
    friend class Worksheet;
    Range(detail::Book& book, std::size_t sheet, detail::CellPosition first,
          detail::CellPosition last)
        : book_(&book), sheet_(sheet), first_(first), last_(last) {}

    detail::Book* book_;
    std::size_t sheet_;
    detail::CellPosition first_;
    detail::CellPosition last_;
};

// A sheet of the workbook (a worksheet, or a chart sheet reached through Sheets()).
class Worksheet {
  public:
    std::string Name() const;
    bool Visible() const;
    // Makes this the active sheet and the only selected tab; a hidden sheet cannot be selected.
    void Select() const;
    // 1004 for a cell outside the sheet.
    excel::Range Cells(std::int32_t row, std::int32_t column) const;
    // "A1" or "A1:C3".
    excel::Range Range(std::string_view address) const;

  private:
    friend class Workbook;
    Worksheet(detail::Book& book, std::size_t index) : book_(&book), index_(index) {}

    detail::Book* book_;
    std::size_t index_;
};

class Workbook {
  public:
    explicit Workbook(std::unique_ptr<detail::Book> book);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // The index-th worksheet, chart sheets not counted; subscript out of range (9) otherwise.
    excel::Worksheet Worksheets(std::size_t index);
    std::size_t WorksheetsCount() const;
    // Every sheet in tab order, by 1-based index or by name (ASCII letters in either case).
    excel::Worksheet Sheets(std::size_t index);
    excel::Worksheet Sheets(std::string_view name);

    // Writes the whole workbook to `file`, complete or not at all; parts nothing changed keep
    // their bytes. With alerts on, an existing file is not replaced: Excel would ask.
    void SaveAs(const std::filesystem::path& file, XlSaveAsAccessMode access_mode = xlNoChange);
    // Forgets the workbook without saving; every later call on it is error 91.
    void Close();

  private:
    friend class Workbooks;
    detail::Book& book() const;

    std::unique_ptr<detail::Book> book_;
    const bool* display_alerts_ = nullptr;
};

class Workbooks {
  public:
    // Not found or not a workbook: 1004 with Excel's text.
    Workbook& Open(const std::filesystem::path& file);

  private:
    friend class Application;
    explicit Workbooks(const bool& display_alerts) : display_alerts_(&display_alerts) {}

    const bool* display_alerts_;
    std::vector<std::unique_ptr<Workbook>> open_;
};

class Application {
  public:
    Application() : workbooks_(DisplayAlerts) {}
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    bool DisplayAlerts = true;
    excel::Workbooks& Workbooks() { return workbooks_; }
    // Closes every open workbook without saving.
    void Quit();

  private:
    excel::Workbooks workbooks_;
};

}  // namespace excel
