#include "jobfiles/prn_pict.h"

#include <cmath>
#include <utility>

#include "jobfiles/numeric.h"

namespace jobfiles {

namespace {

PictLabel read_label(FieldReader& in) {
    PictLabel r;
    r.x = in.real();
    r.y = in.real();
    r.size = in.int16();
    in.int16();
    r.angle = in.real();
    r.text = std::string(in.quoted_rest_of_line());
    return r;
}

PictLine read_line(FieldReader& in) {
    PictLine r;
    r.x1 = in.real();
    r.y1 = in.real();
    r.x2 = in.real();
    r.y2 = in.real();
    r.line_kind = in.int16();
    r.width = in.int16();
    return r;
}

PictCircle read_circle(FieldReader& in) {
    PictCircle r;
    r.cx = in.real();
    r.cy = in.real();
    r.rx = in.real();
    r.ry = in.real();
    r.start_angle = in.real();
    r.end_angle = in.real();
    r.line_kind = in.int16();
    r.width = in.int16();
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
    r.x = in.real();
    r.y = in.real();
    r.width = in.real();
    r.height = in.real();
    r.spare1 = in.int16();
    r.spare2 = in.int16();
    r.file = std::string(in.text());
    return r;
}

}  // namespace

/* ---------------------------------------------------------------- VarnelPictReader */
VarnelPictReader::VarnelPictReader(std::string_view bytes, std::string name)
    : in_(bytes, std::move(name)) {
    if (!in_.at_end()) in_.line();
}

/* ---------------------------------------------------------------- VarnelPictReader::next */
std::optional<VarnelPictRecord> VarnelPictReader::next() {
    while (!in_.at_end()) {
        const std::string_view kind = in_.text();
        if (kind == "LABEL") return read_label(in_);
        if (kind == "LINE") return read_line(in_);
        if (kind == "CIRCLE") return read_circle(in_);
        if (kind == "POLYGON") return read_polygon(in_);
        if (kind == "PICTURE") return read_picture(in_);
        if (kind == "BLOCK") {
            PictBlock r;
            r.number = in_.int32();
            r.x1 = in_.int32();
            r.y1 = in_.int32();
            r.x2 = in_.int32();
            r.y2 = in_.int32();
            in_.int16();
            in_.int16();
            return r;
        }
        if (kind == "PAGE") {
            in_.rest_of_line();
            return PictPage{};
        }
    }
    return std::nullopt;
}

/* ---------------------------------------------------------------- VarnelPictReader::skip_page */
void VarnelPictReader::skip_page() {
    for (;;) {
        const std::string_view kind = in_.text();
        in_.rest_of_line();
        if (kind == "PAGE") return;
    }
}

/* ---------------------------------------------------------------- SorbelPictReader */
SorbelPictReader::SorbelPictReader(std::string_view bytes, std::string name)
    : in_(bytes, std::move(name)) {
    if (!in_.at_end()) in_.line();
}

/* ---------------------------------------------------------------- SorbelPictReader::next */
std::optional<SorbelPictRecord> SorbelPictReader::next() {
    while (!in_.at_end()) {
        const std::string_view kind = in_.text();
        if (kind == "LABEL") return read_label(in_);
        if (kind == "LINE") return read_line(in_);
        if (kind == "CIRCLE") return read_circle(in_);
        if (kind == "POLYGON") return read_polygon(in_);
        if (kind == "PICTURE") return read_picture(in_);
        if (kind == "BLOCK") {
            SorbelPictBlock r;
            r.number = in_.int32();
            r.x1 = in_.real();
            r.y1 = in_.real();
            r.x2 = in_.real();
            r.y2 = in_.real();
            in_.int16();
            in_.int16();
            return r;
        }
        // Further fields on a PAGE line are read as kinds and passed over.
        if (kind == "PAGE") return PictPage{};
    }
    return std::nullopt;
}

}  // namespace jobfiles
