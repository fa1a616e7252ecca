#include "jobfiles/prn_char.h"

#include <algorithm>
#include <utility>

#include "jobfiles/numeric.h"

namespace jobfiles {

namespace {

// A variant field used as a number: what arithmetic on it would give, or a type mismatch.
double variant_number(FieldReader& in) {
    const std::size_t at = in.offset();
    const Variant v = in.variant();
    if (!v.number) {
        in.fail(base::ErrorNumber::type_mismatch, at,
                quoted_field(v.text) + "は数値ではありません");
    }
    return *v.number;
}

std::int16_t variant_int16(FieldReader& in) {
    const std::size_t at = in.offset();
    const double value = variant_number(in);
    try {
        return to_int16(value);
    } catch (const base::RunTimeError&) {
        in.fail(base::ErrorNumber::overflow, at, int16_range);
    }
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
    BlockHeader h;
    h.Block_No = in_.int32();
    h.x1 = in_.int32();
    h.y1 = in_.int32();
    h.x2 = in_.int32();
    h.y2 = in_.int32();
    h.block_kind = in_.variant();
    h.title_flag = in_.int16();
    return h;
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
    TextRecord r;
    r.kind = kind;
    r.x = in_.real();
    r.y = in_.real();
    if (kind == TextKind::LABEL) {
        in_.int16();
        in_.real();
    } else if (kind == TextKind::TITLE) {
        in_.int16();
        r.heading_level = in_.int16();
    }
    r.text = std::string(in_.quoted_rest_of_line());
    return r;
}

/* ----------------------------------------------------------------
 * PrnCharReader::read_matrix_header */
MatrixHeader PrnCharReader::read_matrix_header() {
    MatrixHeader h;
    h.m1 = variant_int16(in_);
    h.m2 = variant_int16(in_);
    h.m3 = in_.int16();
    h.m4 = in_.real();
    h.m5 = variant_number(in_);
    return h;
}

/* ----------------------------------------------------------------
 * PrnCharReader::read_matrix_widths */
void PrnCharReader::read_matrix_widths(MatrixHeader& header) {
    header.tag = std::string(in_.text());
    if (header.m2 > max_matrix_widths) {
        in_.fail(base::ErrorNumber::subscript_out_of_range, in_.offset(),
                 std::to_string(header.m2) + " 列の表は変換できません（" +
                     std::to_string(max_matrix_widths) + " 列まで）");
    }
    header.widths.clear();
    for (int i = 0; i < header.m2; ++i) header.widths.push_back(in_.real());
}

/* ---------------------------------------------------------------- PrnCharReader::read_cell_line */
CellLine PrnCharReader::read_cell_line() {
    CellLine c;
    c.tag = std::string(in_.text());
    c.a = in_.variant().number.value_or(0);  // never used, so never converted
    c.b = variant_number(in_);
    c.s = std::string(in_.text());
    c.n = in_.int16();
    c.h = variant_number(in_);
    c.text = std::string(in_.quoted_rest_of_line());
    c.decode();
    return c;
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
        SorbelBlockHeader h;
        h.Block_No = in_.int32();
        h.x1 = in_.real();
        h.y1 = in_.real();
        h.x2 = in_.real();
        h.y2 = in_.real();
        h.block_kind = in_.int16();
        h.title_flag = in_.int16();
        return h;
    }
    if (const std::optional<TextKind> kind = text_kind(keyword)) {
        after_table_ = false;
        return read_text(*kind);
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

/* ---------------------------------------------------------------- SorbelCharReader::read_text */
TextRecord SorbelCharReader::read_text(TextKind kind) {
    TextRecord r;
    r.kind = kind;
    r.x = in_.real();
    r.y = in_.real();
    if (kind == TextKind::LABEL || kind == TextKind::TITLE) {
        in_.real();
        in_.real();
    }
    r.text = std::string(in_.quoted_rest_of_line());
    return r;
}

/* ---------------------------------------------------------------- SorbelCharReader::read_matrix */
MatrixHeader SorbelCharReader::read_matrix() {
    MatrixHeader h;
    h.m1 = in_.int16();
    h.m2 = in_.int16();
    h.m3 = in_.int16();
    h.m4 = in_.real();
    h.m5 = in_.real();
    h.tag = std::string(in_.text());
    for (int i = 0; i < h.m2; ++i) h.widths.push_back(in_.real());
    rows_left_ = std::max<int>(h.m1, 0);
    columns_ = std::max<int>(h.m2, 0);
    after_table_ = rows_left_ == 0;
    return h;
}

/* ---------------------------------------------------------------- SorbelCharReader::read_row */
MatrixRow SorbelCharReader::read_row() {
    MatrixRow row;
    for (int i = 0; i < columns_; ++i) {
        CellLine c;
        c.tag = std::string(in_.text());
        c.a = in_.real();
        c.b = in_.real();
        c.s = std::string(in_.text());
        c.n = in_.int16();
        c.h = in_.real();
        c.text = std::string(in_.quoted_rest_of_line());
        c.decode();
        row.cells.push_back(std::move(c));
    }
    return row;
}

}  // namespace jobfiles
