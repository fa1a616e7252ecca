// A reader of our own for the metafiles the tests write: it checks the record structure
// (sizes, alignment, header totals, the EOF record, handle-table indexes, no use of an object
// after its deletion) and plays the records back into a list of drawings with the pen, brush
// and font in force, so tests can ask what was drawn how.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/emf/emf_types.h"

namespace emftest {

struct Pen {
    std::uint32_t style = 0;
    std::int32_t width = 0;
    emf::COLORREF colour = 0;
    bool stock = false;
};

struct Brush {
    std::uint32_t style = 0;
    emf::COLORREF colour = 0;
    std::uint32_t hatch = 0;
    bool stock = false;
};

struct Font {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t weight = 0;
    std::uint8_t charset = 0;
    std::uint8_t out_precision = 0;
    std::uint8_t clip_precision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitch_and_family = 0;
    std::u16string face;
    bool stock = false;
};

struct Drawing {
    std::uint32_t type = 0;  // EMR_LINETO, EMR_ARC, EMR_POLYGON16, EMR_POLYGON, EMR_EXTTEXTOUTW
    // LINETO: from, to. ARC: box top-left, box bottom-right, start, end. Polygons: the
    // corners. Text: the reference point.
    std::vector<emf::POINTL> points;
    Pen pen;
    Brush brush;
    Font font;
    std::u16string text;
    std::vector<std::int32_t> dx;
    std::uint32_t text_align = 0;
    std::uint32_t bk_mode = 0;
};

struct Metafile {
    emf::RECTL bounds;
    emf::RECTL frame;
    std::uint32_t bytes = 0;
    std::uint32_t records = 0;
    std::uint32_t handles = 0;
    emf::SIZEL device;
    emf::SIZEL millimetres;
    std::u16string description;
    std::vector<std::uint32_t> types;  // every record's type in file order
    std::vector<Drawing> drawings;
    std::vector<std::string> problems;  // empty for a sound file

    std::size_t count(std::uint32_t type) const;
};

Metafile check_metafile(std::span<const std::uint8_t> bytes);
Metafile check_metafile_file(const std::filesystem::path& file);

// check_metafile_file, with each problem reported as a failure of the running test.
Metafile load_checked(const std::filesystem::path& file);

}  // namespace emftest
