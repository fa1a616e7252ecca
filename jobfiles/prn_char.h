// Text records (PRN_CHAR): pages of blocks, positioned texts and ruled tables.
//
// Two ways to read the file. The Word converter's page loop drives `PrnCharReader` one step at
// a time: it reads a keyword and then decides which record to read. The workbook builder pulls
// whole records from `SorbelCharReader`. Field types follow each program: the Word converter
// reads block corners as 32-bit integers (rounded), the workbook builder keeps them exact.
// All texts stay CP932 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "jobfiles/cell_line.h"
#include "jobfiles/field_reader.h"

namespace jobfiles {

// `BlockHeader` as the Word converter reads it. The block number is a 32-bit integer in both
// programs: a long job numbers its blocks past 32 767.
struct BlockHeader {
    std::int32_t Block_No = 0;
    std::int32_t x1 = 0;  // block rectangle, tenths of a millimetre from the paper's corner
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    Variant block_kind;  // 1 marks a block after which an empty gap is reproduced
    std::int16_t title_flag = 0;
};

// `BlockHeader` as the workbook builder reads it.
struct SorbelBlockHeader {
    std::int32_t Block_No = 0;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    std::int16_t block_kind = 0;
    std::int16_t title_flag = 0;
};

enum class TextKind { LABEL, SMOJI, UMOJI, TITLE };

// `TextRecord`: LABEL, SMOJI, UMOJI or TITLE.
struct TextRecord {
    TextKind kind = TextKind::LABEL;
    double x = 0;                    // left end of the text
    double y = 0;                    // line position
    std::int16_t heading_level = 0;  // TITLE: 0, 1 or 2 (read by PrnCharReader only)
    std::string text;                // quotes removed
};

// `MatrixHeader`: the MATRIX line.
struct MatrixHeader {
    std::int16_t m1 = 0;  // rows
    std::int16_t m2 = 0;  // columns
    std::int16_t m3 = 0;  // grid line of the block at which the table begins
    double m4 = 0;        // x offset from the block's left edge
    double m5 = 0;        // row pitch
    std::string tag;
    std::vector<double> widths;  // one per column, once the widths have been read
};

// The Word converter keeps at most this many column widths per table.
inline constexpr int max_matrix_widths = 64;

// The text record kind a keyword names, if any (exact, upper case).
std::optional<TextKind> text_kind(std::string_view keyword) noexcept;

// Step-by-step reading for the Word converter's page loop.
class PrnCharReader {
  public:
    explicit PrnCharReader(std::string_view bytes, std::string name = "PRN_CHAR");
    // Readers keep a view of the bytes, which must outlive them: no temporary strings.
    template <TemporaryString S>
    PrnCharReader(S&& bytes, std::string name = "PRN_CHAR") = delete;

    bool at_end() const noexcept { return in_.at_end(); }
    std::size_t offset() const noexcept { return in_.offset(); }

    // The next field, read as a record keyword.
    std::string_view read_keyword() { return in_.text(); }
    // The raw rest of the current line (empty when the keyword ended its line).
    std::string_view read_rest_of_line() { return in_.rest_of_line(); }
    // A keyword and the rest of its line, both dropped.
    void skip_line();
    // Lines up to and including the next line whose keyword is "PAGE".
    void skip_page();

    // The seven header fields that follow a "BLOCK" keyword.
    BlockHeader read_block_header();
    // The file's first header: a keyword that is not compared, then the seven fields.
    BlockHeader read_first_block_header();
    // The fields of a text record whose keyword has been read, and its text.
    TextRecord read_text_record(TextKind kind);
    // The five header fields that follow "MATRIX".
    MatrixHeader read_matrix_header();
    // The tag and the m2 column widths on the rest of the MATRIX line. More widths than
    // max_matrix_widths is a subscript error.
    void read_matrix_widths(MatrixHeader& header);
    CellLine read_cell_line();

  private:
    FieldReader in_;
};

// PRN_CHAR's "PAGE" record.
struct PageEnd {};

// One row of a table: the table's column count of cells, left to right.
struct MatrixRow {
    std::vector<CellLine> cells;
};

// A field where a keyword belongs that names no record; the reader goes on with the next field.
struct UnknownField {
    std::string text;        // CP932
    std::size_t offset = 0;  // byte offset of the field
};

// A line after a table's last cell that is no record: a cell beyond the rows and columns its
// MATRIX line announced. The whole line is passed over, so that a cell text such as "PAGE" is
// never taken for a record.
struct ExtraCellLine {
    std::size_t offset = 0;  // byte offset of the line
};

// A MATRIX record is followed by its m1 rows of m2 cells each (no rows when m1 is not positive).
using SorbelCharRecord = std::variant<PageEnd, SorbelBlockHeader, TextRecord, MatrixHeader,
                                      MatrixRow, UnknownField, ExtraCellLine>;

// Whole records, front to back, for the workbook builder. The first line is dropped; the rest
// of a PAGE line is ignored, whatever it holds.
class SorbelCharReader {
  public:
    explicit SorbelCharReader(std::string_view bytes, std::string name = "PRN_CHAR");
    template <TemporaryString S>
    SorbelCharReader(S&& bytes, std::string name = "PRN_CHAR") = delete;

    // The next record, or nothing at the end of the file.
    std::optional<SorbelCharRecord> next();
    std::size_t offset() const noexcept { return in_.offset(); }

  private:
    MatrixHeader read_matrix();
    MatrixRow read_row();

    FieldReader in_;
    int rows_left_ = 0;
    int columns_ = 0;
    bool after_table_ = false;  // no record since a table's last cell line
};

}  // namespace jobfiles
