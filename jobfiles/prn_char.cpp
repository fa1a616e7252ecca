#include "jobfiles/prn_char.h"

#include <algorithm>
#include <array>
#include <utility>

#include "jobfiles/field_typing.h"

namespace jobfiles {

namespace {

using enum FieldType;

// The field types of each program, as the two converters declare their records' variables.
struct CharTyping {
    std::array<FieldType, 7> block;   // number, x1, y1, x2, y2, block kind, title flag
    std::array<FieldType, 2> label;   // LABEL's third and fourth fields, not used
    std::array<FieldType, 2> title;   // TITLE's third field, not used, and its heading level
    std::array<FieldType, 5> matrix;  // m1 to m5
    std::array<FieldType, 6> cell;    // tag, a, b, s, n, h
};

constexpr CharTyping varnel_typing{{int32, int32, int32, int32, int32, variant, int16},
                                   {int16, real},
                                   {int16, int16},
                                   {variant_int16, variant_int16, int16, real, variant_number},
                                   {text, unused, variant_number, text, int16, variant_number}};
constexpr CharTyping sorbel_typing{{int32, real, real, real, real, int16, int16},
                                   {real, real},
                                   {real, real},
                                   {int16, int16, int16, real, real},
                                   {text, real, real, text, int16, real}};

template <class Header>
Header read_block(FieldReader& in, const CharTyping& typing) {
    Header h;
    read_fields(in, h, typing.block, &Header::Block_No, &Header::x1, &Header::y1, &Header::x2,
                &Header::y2, &Header::block_kind, &Header::title_flag);
    return h;
}

TextRecord read_text(FieldReader& in, TextKind kind, const CharTyping& typing) {
    TextRecord r;
    r.kind = kind;
    read_fields(in, r, std::array{real, real}, &TextRecord::x, &TextRecord::y);
    if (kind == TextKind::LABEL || kind == TextKind::TITLE) {
        const auto& extra = kind == TextKind::LABEL ? typing.label : typing.title;
        double unused_field = 0;
        double level = 0;
        read_field(in, extra[0], unused_field);
        read_field(in, extra[1], level);
        // Only a program that reads the heading level as a 16-bit integer keeps it.
        if (kind == TextKind::TITLE && extra[1] == int16) {
            r.heading_level = static_cast<std::int16_t>(level);
        }
    }
    r.text = std::string(in.quoted_rest_of_line());
    return r;
}

MatrixHeader read_matrix_header(FieldReader& in, const CharTyping& typing) {
    MatrixHeader h;
    read_fields(in, h, typing.matrix, &MatrixHeader::m1, &MatrixHeader::m2, &MatrixHeader::m3,
                &MatrixHeader::m4, &MatrixHeader::m5);
    return h;
}

// The tag and the m2 column widths on the rest of the MATRIX line.
void read_widths(FieldReader& in, MatrixHeader& header) {
    header.tag = std::string(in.text());
    header.widths.clear();
    for (int i = 0; i < header.m2; ++i) header.widths.push_back(in.real());
}

CellLine read_cell(FieldReader& in, const CharTyping& typing) {
    CellLine c;
    read_fields(in, c, typing.cell, &CellLine::tag, &CellLine::a, &CellLine::b, &CellLine::s,
                &CellLine::n, &CellLine::h);
    c.text = std::string(in.quoted_rest_of_line());
    c.decode();
    return c;
}

}  // namespace

/* ---------------------------------------------------------------- text_kind */
std::optional<TextKind> text_kind(std::string_view keyword) noexcept {
    if (keyword == "LABEL") return TextKind::LABEL;
    if (keyword == "SMOJI") return TextKind::SMOJI;
    if (keyword == "UMOJI") return TextKind::UMOJI;
    if (keyword == "TITLE") return TextKind::TITLE;
    return std::nullopt;
}

/* ---------------------------------------------------------------- PrnCharReader */
PrnCharReader::PrnCharReader(std::string_view bytes, std::string name)
    : in_(bytes, std::move(name)) {}

/* ---------------------------------------------------------------- PrnCharReader::skip_line */
void PrnCharReader::skip_line() {
    in_.skip_field();
    in_.rest_of_line();
}

/* ---------------------------------------------------------------- PrnCharReader::skip_page */
void PrnCharReader::skip_page() {
    for (;;) {
        const std::string_view keyword = in_.text();
        in_.rest_of_line();
        if (keyword == "PAGE") return;
    }
}

/* ---------------------------------------------------------------- PrnCharReader::read_block_header
 */
BlockHeader PrnCharReader::read_block_header() {
    return read_block<BlockHeader>(in_, varnel_typing);
}

/* ----------------------------------------------------------------
 * PrnCharReader::read_first_block_header */
BlockHeader PrnCharReader::read_first_block_header() {
    in_.skip_field();
    return read_block_header();
}

/* ---------------------------------------------------------------- PrnCharReader::read_text_record
 */
TextRecord PrnCharReader::read_text_record(TextKind kind) {
    return read_text(in_, kind, varnel_typing);
}

/* ----------------------------------------------------------------
 * PrnCharReader::read_matrix_header */
MatrixHeader PrnCharReader::read_matrix_header() {
    return jobfiles::read_matrix_header(in_, varnel_typing);
}

/* ----------------------------------------------------------------
 * PrnCharReader::read_matrix_widths */
void PrnCharReader::read_matrix_widths(MatrixHeader& header) {
    if (header.m2 > max_matrix_widths) {
        in_.skip_field();
        in_.fail(base::ErrorNumber::subscript_out_of_range, in_.offset(),
                 std::to_string(header.m2) + " 列の表は変換できません（" +
                     std::to_string(max_matrix_widths) + " 列まで）");
    }
    read_widths(in_, header);
}

/* ---------------------------------------------------------------- PrnCharReader::read_cell_line */
CellLine PrnCharReader::read_cell_line() {
    return read_cell(in_, varnel_typing);
}

/* ---------------------------------------------------------------- SorbelCharReader */
SorbelCharReader::SorbelCharReader(std::string_view bytes, std::string name)
    : in_(bytes, std::move(name)) {
    if (!in_.at_end()) in_.line();
}

/* ---------------------------------------------------------------- SorbelCharReader::next */
std::optional<SorbelCharRecord> SorbelCharReader::next() {
    if (rows_left_ > 0) {
        --rows_left_;
        after_table_ = rows_left_ == 0;
        return read_row();
    }
    if (in_.at_end()) return std::nullopt;
    const std::size_t at = in_.offset();
    const std::string_view keyword = in_.text();
    if (keyword == "PAGE") {
        after_table_ = false;
        // A bare PAGE line ends with its keyword: the next line's BLOCK is no field of it.
        if (!in_.at_end()) in_.rest_of_line();
        return PageEnd{};
    }
    if (keyword == "BLOCK") {
        after_table_ = false;
        return read_block<SorbelBlockHeader>(in_, sorbel_typing);
    }
    if (const std::optional<TextKind> kind = text_kind(keyword)) {
        after_table_ = false;
        return read_text(in_, *kind, sorbel_typing);
    }
    if (keyword == "MATRIX") {
        after_table_ = false;
        return read_matrix();
    }
    if (after_table_) {
        in_.rest_of_line();
        return ExtraCellLine{at};
    }
    return UnknownField{std::string(keyword), at};
}

/* ---------------------------------------------------------------- SorbelCharReader::read_matrix */
MatrixHeader SorbelCharReader::read_matrix() {
    MatrixHeader h = read_matrix_header(in_, sorbel_typing);
    read_widths(in_, h);
    rows_left_ = std::max<int>(h.m1, 0);
    columns_ = std::max<int>(h.m2, 0);
    after_table_ = rows_left_ == 0;
    return h;
}

/* ---------------------------------------------------------------- SorbelCharReader::read_row */
MatrixRow SorbelCharReader::read_row() {
    MatrixRow row;
    for (int i = 0; i < columns_; ++i) row.cells.push_back(read_cell(in_, sorbel_typing));
    return row;
}

}  // namespace jobfiles
