// Byte layout of the enhanced metafile records we write (MS-EMF): little-endian, every record
// a multiple of four bytes, a header first and an EOF record last. Knows nothing of device
// contexts or object lifetimes; gdi.cpp decides what to write and when.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emf/emf_types.h"

namespace emf::records {

inline constexpr std::uint32_t EMR_HEADER = 1;
inline constexpr std::uint32_t EMR_POLYGON = 3;
inline constexpr std::uint32_t EMR_EOF = 14;
inline constexpr std::uint32_t EMR_SETMAPMODE = 17;
inline constexpr std::uint32_t EMR_SETBKMODE = 18;
inline constexpr std::uint32_t EMR_SETTEXTALIGN = 22;
inline constexpr std::uint32_t EMR_MOVETOEX = 27;
inline constexpr std::uint32_t EMR_SELECTOBJECT = 37;
inline constexpr std::uint32_t EMR_CREATEPEN = 38;
inline constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
inline constexpr std::uint32_t EMR_DELETEOBJECT = 40;
inline constexpr std::uint32_t EMR_ARC = 45;
inline constexpr std::uint32_t EMR_LINETO = 54;
inline constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
inline constexpr std::uint32_t EMR_EXTTEXTOUTW = 84;
inline constexpr std::uint32_t EMR_POLYGON16 = 86;

inline constexpr std::uint32_t header_size = 108;  // with both header extensions
inline constexpr std::uint32_t eof_size = 20;
inline constexpr std::uint32_t emf_signature = 0x464D4520;  // " EMF"
inline constexpr std::uint32_t emf_version = 0x00010000;
inline constexpr std::uint32_t GM_COMPATIBLE = 1;
inline constexpr std::size_t face_name_units = 32;  // LOGFONTW face, with its terminator

struct LogPen {
    std::uint32_t style = 0;
    std::int32_t width = 0;
    COLORREF colour = 0;
};

struct LogBrush {
    std::uint32_t style = 0;  // BS_SOLID or BS_HATCHED
    COLORREF colour = 0;
    std::uint32_t hatch = 0;
};

struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strike_out = 0;
    std::uint8_t charset = 0;
    std::uint8_t out_precision = 0;
    std::uint8_t clip_precision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitch_and_family = 0;
    std::u16string face;  // at most face_name_units - 1 units
};

struct HeaderFields {
    RECTL bounds;  // device units, inclusive
    RECTL frame;   // 0.01 mm, inclusive
    std::uint16_t handles = 1;
    std::u16string description;  // with its terminators
    SIZEL device;
    SIZEL millimetres;
};

// The records after the header, appended in drawing order; finish() wraps them into a file.
class RecordStream {
  public:
    // Records holding one 32-bit value: map mode, background mode, text alignment,
    // object selection and deletion.
    void add_value(std::uint32_t type, std::uint32_t value);
    // EMR_MOVETOEX and EMR_LINETO.
    void add_point(std::uint32_t type, POINTL point);
    void add_create_pen(std::uint32_t index, const LogPen& pen);
    void add_create_brush(std::uint32_t index, const LogBrush& brush);
    // Written as a fixed-length LogFontPanose, as GDI does.
    void add_create_font(std::uint32_t index, const LogFont& font);
    void add_arc(const RECTL& box, POINTL start, POINTL end);
    // EMR_POLYGON16 when every point fits 16 bits, else EMR_POLYGON.
    void add_polygon(const RECTL& bounds, std::span<const POINTL> points);
    // EMR_EXTTEXTOUTW with one advance per UTF-16 unit (dx.size() == text.size()).
    void add_text(const RECTL& bounds, float x_scale, float y_scale, POINTL reference,
                  std::u16string_view text, std::span<const std::int32_t> dx);

    std::uint32_t record_count() const noexcept { return count_; }

    // The complete file: header, these records, EOF.
    std::vector<std::uint8_t> finish(const HeaderFields& header) const;

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t count_ = 0;
};

}  // namespace emf::records
