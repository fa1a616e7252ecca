// Graphics records (PRN_PICT): the figures of every page, grouped into blocks.
//
// One walk over the records serves both programs, each with its own typing of the BLOCK
// record: the Word converter rounds block corners to integers and reads the rest of a PAGE line,
// the workbook route keeps the corners exact and reads a PAGE line's further fields as kinds. A
// kind word the walk does not know, and any stray field, is passed over one field at a time.
// Drawing coordinates are tenths of a millimetre from the top-left corner of the latest block;
// texts stay CP932 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "jobfiles/field_reader.h"
#include "jobfiles/field_typing.h"

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

template <class Block>
using PictRecord =
    std::variant<PictPage, Block, PictLabel, PictLine, PictCircle, PictPolygon, PictPicture>;
using VarnelPictRecord = PictRecord<PictBlock>;
using SorbelPictRecord = PictRecord<SorbelPictBlock>;

// How a program reads what is its own in PRN_PICT.
struct PictTyping {
    std::array<FieldType, 5> block;  // number, x1, y1, x2, y2; two spare 16-bit fields follow
    bool page_ends_its_line;         // the rest of a PAGE line is read and dropped
};
inline constexpr PictTyping varnel_pict_typing{
    {FieldType::int32, FieldType::int32, FieldType::int32, FieldType::int32, FieldType::int32},
    true};
inline constexpr PictTyping sorbel_pict_typing{
    {FieldType::int32, FieldType::real, FieldType::real, FieldType::real, FieldType::real}, false};

// The records front to back. The header line is dropped at construction.
template <class Block>
class PictReader {
  public:
    PictReader(std::string_view bytes, std::string name, const PictTyping& typing);

    bool at_end() const noexcept { return in_.at_end(); }
    std::size_t offset() const noexcept { return in_.offset(); }
    // The next record, or nothing at the end of the file.
    std::optional<PictRecord<Block>> next();
    // Passes over a page line by line, up to and including its "PAGE" line.
    void skip_page();

  private:
    FieldReader in_;
    const PictTyping* typing_;
};

// The Word converter's reader.
class VarnelPictReader : public PictReader<PictBlock> {
  public:
    explicit VarnelPictReader(std::string_view bytes, std::string name = "PRN_PICT")
        : PictReader(bytes, std::move(name), varnel_pict_typing) {}
    // Readers keep a view of the bytes, which must outlive them: no temporary strings.
    template <TemporaryString S>
    VarnelPictReader(S&& bytes, std::string name = "PRN_PICT") = delete;
};

// The workbook route's reader.
class SorbelPictReader : public PictReader<SorbelPictBlock> {
  public:
    explicit SorbelPictReader(std::string_view bytes, std::string name = "PRN_PICT")
        : PictReader(bytes, std::move(name), sorbel_pict_typing) {}
    template <TemporaryString S>
    SorbelPictReader(S&& bytes, std::string name = "PRN_PICT") = delete;
};

}  // namespace jobfiles
