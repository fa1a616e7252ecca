#include "jobfiles/prn_pict.h"

#include <cmath>
#include <utility>

#include "jobfiles/numeric.h"

namespace jobfiles {

namespace {

using enum FieldType;

PictLabel read_label(FieldReader& in) {
    PictLabel r;
    std::int16_t spare = 0;
    read_fields(in, r, std::array{real, real, int16}, &PictLabel::x, &PictLabel::y,
                &PictLabel::size);
    read_field(in, int16, spare);
    read_field(in, real, r.angle);
    r.text = std::string(in.quoted_rest_of_line());
    return r;
}

PictLine read_line(FieldReader& in) {
    PictLine r;
    read_fields(in, r, std::array{real, real, real, real, int16, int16}, &PictLine::x1,
                &PictLine::y1, &PictLine::x2, &PictLine::y2, &PictLine::line_kind,
                &PictLine::width);
    return r;
}

PictCircle read_circle(FieldReader& in) {
    PictCircle r;
    read_fields(in, r, std::array{real, real, real, real, real, real, int16, int16},
                &PictCircle::cx, &PictCircle::cy, &PictCircle::rx, &PictCircle::ry,
                &PictCircle::start_angle, &PictCircle::end_angle, &PictCircle::line_kind,
                &PictCircle::width);
    return r;
}

// A colour field: the leading number of its text ("&H..." or decimal), as a 32-bit value.
std::int32_t read_colour(FieldReader& in) {
    const std::size_t at = in.offset();
    const double value = Val(in.text());
    if (!std::isfinite(value) || std::fabs(value) > 2147483647.0) {
        in.fail(base::ErrorNumber::overflow, at, "色の値が 32 ビット整数の範囲を超えています");
    }
    return to_int32(value);
}

PictPolygon read_polygon(FieldReader& in) {
    PictPolygon r;
    const std::size_t at = in.offset();
    const std::int16_t n = in.int16();
    if (n < 0) in.fail(base::ErrorNumber::subscript_out_of_range, at, "多角形の頂点数が負です");
    r.line_kind = in.int16();
    r.width = in.int16();
    r.fill_kind = in.int16();
    in.int16();
    r.line_colour = read_colour(in);
    r.fill_colour = read_colour(in);
    // The points may stand on the record's own line or on the lines that follow.
    for (int i = 0; i < n; ++i) {
        PictPoint p;
        p.x = in.real();
        p.y = in.real();
        r.points.push_back(p);
    }
    return r;
}

PictPicture read_picture(FieldReader& in) {
    PictPicture r;
    read_fields(in, r, std::array{real, real, real, real, int16, int16, text}, &PictPicture::x,
                &PictPicture::y, &PictPicture::width, &PictPicture::height, &PictPicture::spare1,
                &PictPicture::spare2, &PictPicture::file);
    return r;
}

}  // namespace

/* ---------------------------------------------------------------- PictReader */
template <class Block>
PictReader<Block>::PictReader(std::string_view bytes, std::string name, const PictTyping& typing)
    : in_(bytes, std::move(name)), typing_(&typing) {
    if (!in_.at_end()) in_.line();
}

/* ---------------------------------------------------------------- PictReader::next */
template <class Block>
std::optional<PictRecord<Block>> PictReader<Block>::next() {
    while (!in_.at_end()) {
        const std::string_view kind = in_.text();
        if (kind == "LABEL") return read_label(in_);
        if (kind == "LINE") return read_line(in_);
        if (kind == "CIRCLE") return read_circle(in_);
        if (kind == "POLYGON") return read_polygon(in_);
        if (kind == "PICTURE") return read_picture(in_);
        if (kind == "BLOCK") {
            Block r;
            read_fields(in_, r, typing_->block, &Block::number, &Block::x1, &Block::y1, &Block::x2,
                        &Block::y2);
            in_.int16();
            in_.int16();
            return r;
        }
        if (kind == "PAGE") {
            // Otherwise further fields on the line are read as kinds and passed over.
            if (typing_->page_ends_its_line) in_.rest_of_line();
            return PictPage{};
        }
    }
    return std::nullopt;
}

/* ---------------------------------------------------------------- PictReader::skip_page */
template <class Block>
void PictReader<Block>::skip_page() {
    for (;;) {
        const std::string_view kind = in_.text();
        in_.rest_of_line();
        if (kind == "PAGE") return;
    }
}

template class PictReader<PictBlock>;
template class PictReader<SorbelPictBlock>;

}  // namespace jobfiles
