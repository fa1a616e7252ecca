#include "platform/emf/emf_records.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace emf::records {

namespace {

// Appends one record; the size field is patched when the record is complete.
class RecordWriter {
  public:
    RecordWriter(std::vector<std::uint8_t>& out, std::uint32_t type)
        : out_(out), start_(out.size()) {
        u32(type);
        u32(0);
    }
    ~RecordWriter() {
        while ((out_.size() - start_) % 4 != 0) out_.push_back(0);
        const auto size = static_cast<std::uint32_t>(out_.size() - start_);
        for (std::size_t i = 0; i < 4; ++i) {
            out_[start_ + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        }
    }
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    void u8(std::uint8_t value) { out_.push_back(value); }
    void u16(std::uint16_t value) {
        out_.push_back(static_cast<std::uint8_t>(value));
        out_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void i16(std::int16_t value) { u16(static_cast<std::uint16_t>(value)); }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }
    void point(POINTL p) {
        i32(p.x);
        i32(p.y);
    }
    void rect(const RECTL& r) {
        i32(r.left);
        i32(r.top);
        i32(r.right);
        i32(r.bottom);
    }
    void size(SIZEL s) {
        i32(s.cx);
        i32(s.cy);
    }
    // Exactly `units` UTF-16 units: the text, then zeros.
    void utf16(std::u16string_view text, std::size_t units) {
        for (std::size_t i = 0; i < units; ++i) u16(i < text.size() ? text[i] : u'\0');
    }
    void zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    void pad4() {
        while ((out_.size() - start_) % 4 != 0) out_.push_back(0);
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t start_;
};

bool fits_16_bits(POINTL p) {
    constexpr auto low = std::numeric_limits<std::int16_t>::min();
    constexpr auto high = std::numeric_limits<std::int16_t>::max();
    return p.x >= low && p.x <= high && p.y >= low && p.y <= high;
}

}  // namespace

/* ---------------------------------------------------------------- RecordStream::add_value */
void RecordStream::add_value(std::uint32_t type, std::uint32_t value) {
    RecordWriter record(bytes_, type);
    record.u32(value);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_point */
void RecordStream::add_point(std::uint32_t type, POINTL point) {
    RecordWriter record(bytes_, type);
    record.point(point);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_create_pen */
void RecordStream::add_create_pen(std::uint32_t index, const LogPen& pen) {
    RecordWriter record(bytes_, EMR_CREATEPEN);
    record.u32(index);
    record.u32(pen.style);
    record.point({pen.width, 0});
    record.u32(pen.colour);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_create_brush
 */
void RecordStream::add_create_brush(std::uint32_t index, const LogBrush& brush) {
    RecordWriter record(bytes_, EMR_CREATEBRUSHINDIRECT);
    record.u32(index);
    record.u32(brush.style);
    record.u32(brush.colour);
    record.u32(brush.hatch);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_create_font */
void RecordStream::add_create_font(std::uint32_t index, const LogFont& font) {
    RecordWriter record(bytes_, EMR_EXTCREATEFONTINDIRECTW);
    record.u32(index);
    // LogFont (92 bytes).
    record.i32(font.height);
    record.i32(font.width);
    record.i32(font.escapement);
    record.i32(font.orientation);
    record.i32(font.weight);
    record.u8(font.italic);
    record.u8(font.underline);
    record.u8(font.strike_out);
    record.u8(font.charset);
    record.u8(font.out_precision);
    record.u8(font.clip_precision);
    record.u8(font.quality);
    record.u8(font.pitch_and_family);
    record.utf16(font.face.substr(0, face_name_units - 1), face_name_units);
    // The rest of a LogFontPanose: full name (64 units), style (32 units), version, style
    // size, match, reserved, vendor id, culture, PANOSE (10 bytes) and 2 bytes of padding.
    record.zeros(64 * 2 + 32 * 2 + 6 * 4 + 10 + 2);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_arc */
void RecordStream::add_arc(const RECTL& box, POINTL start, POINTL end) {
    RecordWriter record(bytes_, EMR_ARC);
    record.rect(box);
    record.point(start);
    record.point(end);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_polygon */
void RecordStream::add_polygon(const RECTL& bounds, std::span<const POINTL> points) {
    const bool short_form = std::all_of(points.begin(), points.end(), fits_16_bits);
    RecordWriter record(bytes_, short_form ? EMR_POLYGON16 : EMR_POLYGON);
    record.rect(bounds);
    record.u32(static_cast<std::uint32_t>(points.size()));
    for (const POINTL& p : points) {
        if (short_form) {
            record.i16(static_cast<std::int16_t>(p.x));
            record.i16(static_cast<std::int16_t>(p.y));
        } else {
            record.point(p);
        }
    }
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::add_text */
void RecordStream::add_text(const RECTL& bounds, float x_scale, float y_scale, POINTL reference,
                            std::u16string_view text, std::span<const std::int32_t> dx) {
    // Fixed part: record header 8, bounds 16, graphics mode and scales 12, EmrText 40.
    constexpr std::uint32_t string_offset = 76;
    const auto chars = static_cast<std::uint32_t>(text.size());
    const std::uint32_t dx_offset = string_offset + (chars * 2 + 3) / 4 * 4;
    RecordWriter record(bytes_, EMR_EXTTEXTOUTW);
    record.rect(bounds);
    record.u32(GM_COMPATIBLE);
    record.f32(x_scale);
    record.f32(y_scale);
    record.point(reference);
    record.u32(chars);
    record.u32(string_offset);
    record.u32(0);    // no ETO_ options: no clipping or opaque rectangle
    record.rect({});  // that rectangle
    record.u32(dx_offset);
    record.utf16(text, text.size());
    record.pad4();
    for (const std::int32_t advance : dx) record.i32(advance);
    ++count_;
}

/* ---------------------------------------------------------------- RecordStream::finish */
std::vector<std::uint8_t> RecordStream::finish(const HeaderFields& header) const {
    std::vector<std::uint8_t> file;
    const auto description_units = static_cast<std::uint32_t>(header.description.size());
    const std::uint32_t header_bytes = header_size + (description_units * 2 + 3) / 4 * 4;
    const auto total = static_cast<std::uint32_t>(header_bytes + bytes_.size() + eof_size);
    file.reserve(total);
    {
        RecordWriter record(file, EMR_HEADER);
        record.rect(header.bounds);
        record.rect(header.frame);
        record.u32(emf_signature);
        record.u32(emf_version);
        record.u32(total);
        record.u32(count_ + 2);
        record.u16(header.handles);
        record.u16(0);
        record.u32(description_units);
        record.u32(description_units == 0 ? 0 : header_size);
        record.u32(0);  // no palette
        record.size(header.device);
        record.size(header.millimetres);
        record.u32(0);  // no pixel format
        record.u32(0);
        record.u32(0);  // not OpenGL
        record.size({header.millimetres.cx * 1000, header.millimetres.cy * 1000});
        record.utf16(header.description, header.description.size());
    }
    file.insert(file.end(), bytes_.begin(), bytes_.end());
    {
        RecordWriter record(file, EMR_EOF);
        record.u32(0);   // no palette entries
        record.u32(16);  // their offset: right after these fields
        record.u32(eof_size);
    }
    return file;
}

}  // namespace emf::records
