// Graphics records (PRN_PICT): the figures of every page, grouped into blocks.
//
// Each program has its own reader, because they know different record kinds and read the
// block records into different types: the Word converter knows PICTURE and POLYGON and rounds
// block corners to integers; the workbook route knows POLYGON but not PICTURE and keeps the
// corners exact. A kind word a reader does not know, and any stray field, is passed over
// one field at a time. Drawing coordinates are tenths of a millimetre from the top-left corner
// of the latest block; texts stay CP932 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "jobfiles/field_reader.h"

namespace jobfiles {

// `LineKind`: values outside 1 to 5 draw like a solid line.
enum class LineKind : std::int16_t {
    solid = 0,
    dotted = 1,
    dashed = 2,
    dash_dot = 3,
    dash_dot_dot = 4,
    invisible = 5,
};

// `FillKind`: other values select no fill brush of the record's own.
enum class FillKind : std::int16_t {
    solid = 1,
    horizontal = 2,
    vertical = 3,
    forward_diagonal = 4,
    backward_diagonal = 5,
    cross = 6,
    diagonal_cross = 7,
};

// "PAGE": ends the current page.
struct PictPage {};

// "BLOCK" as the Word converter reads it (the number as PRN_CHAR's, 32 bits).
struct PictBlock {
    std::int32_t number = 0;
    std::int32_t x1 = 0;  // from the paper's top-left corner
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
};

// "BLOCK" as the workbook route reads it.
struct SorbelPictBlock {
    std::int32_t number = 0;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

struct PictLabel {
    double x = 0;           // left edge of the first character's cell
    double y = 0;           // bottom edge of the first character's cell
    std::int16_t size = 0;  // tenths of a point
    double angle = 0;       // degrees
    std::string text;       // quotes removed
};

struct PictLine {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    std::int16_t line_kind = 0;
    std::int16_t width = 0;
};

struct PictCircle {
    double cx = 0;
    double cy = 0;
    double rx = 0;
    double ry = 0;
    double start_angle = 0;  // degrees, counter-clockwise as seen on the page
    double end_angle = 0;
    std::int16_t line_kind = 0;
    std::int16_t width = 0;
};

struct PictPoint {
    double x = 0;
    double y = 0;
};

struct PictPolygon {
    std::int16_t line_kind = 0;
    std::int16_t width = 0;
    std::int16_t fill_kind = 0;
    std::int32_t line_colour = 0;  // 0x00BBGGRR
    std::int32_t fill_colour = 0;
    std::vector<PictPoint> points;
};

struct PictPicture {
    double x = 0;  // left edge
    double y = 0;  // top edge
    double width = 0;
    double height = 0;
    std::int16_t spare1 = 0;
    std::int16_t spare2 = 0;
    std::string file;  // bitmap file name as written
};

using VarnelPictRecord =
    std::variant<PictPage, PictBlock, PictLabel, PictLine, PictCircle, PictPicture, PictPolygon>;
using SorbelPictRecord = std::variant<PictPage, SorbelPictBlock, PictLabel, PictLine, PictCircle,
                                      PictPolygon, PictPicture>;

// The Word converter's reader. The header line is dropped at construction.
class VarnelPictReader {
  public:
    explicit VarnelPictReader(std::string_view bytes, std::string name = "PRN_PICT");
    // Readers keep a view of the bytes, which must outlive them: no temporary strings.
    template <TemporaryString S>
    VarnelPictReader(S&& bytes, std::string name = "PRN_PICT") = delete;

    bool at_end() const noexcept { return in_.at_end(); }
    std::size_t offset() const noexcept { return in_.offset(); }
    // The next record, or nothing at the end of the file.
    std::optional<VarnelPictRecord> next();
    // Passes over a page line by line, up to and including its "PAGE" line.
    void skip_page();

  private:
    FieldReader in_;
};

// The workbook route's reader. The header line is dropped at construction.
class SorbelPictReader {
  public:
    explicit SorbelPictReader(std::string_view bytes, std::string name = "PRN_PICT");
    template <TemporaryString S>
    SorbelPictReader(S&& bytes, std::string name = "PRN_PICT") = delete;

    std::size_t offset() const noexcept { return in_.offset(); }
    std::optional<SorbelPictRecord> next();

  private:
    FieldReader in_;
};

}  // namespace jobfiles
