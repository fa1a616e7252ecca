// The pictures of a template sheet's header and footer (&G): the VML drawing that places them
// (legacyDrawingHF) and the pictures it shows. Every output sheet gets a drawing of its own,
// with shape ids of its own, showing the workbook's one copy of each picture.
#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "platform/ooxml/media.h"
#include "platform/xlsreport/picture_media.h"

namespace xlsreport::detail {

struct HeaderFooterDrawing {
    struct Image {
        std::string relationship_id;  // as the drawing refers to it
        ooxml::MediaType type;
        std::string bytes;
    };
    std::shared_ptr<const pugi::xml_document> vml;
    std::vector<Image> images;
};

// The relationship ids the drawing refers to (o:relid and r: attributes), each once, in order.
std::vector<std::string> vml_relationship_ids(const pugi::xml_document& vml);

// The shapes that carry a shape id (o:spid); more than a block of ids holds cannot be numbered
// apart from the other sheets' drawings.
std::size_t vml_shape_count(const pugi::xml_document& vml);
inline constexpr std::size_t vml_shapes_per_block = 1023;

// xl/drawings/vmlDrawingN.vml and its relationships for the output sheet whose drawing takes
// shape id block `block` (1 for the first sheet): its shapes are numbered from block x 1024 + 1
// on, and its pictures, added to `media`, are "../media/image<media + 1>.<extension>".
struct VmlParts {
    std::string vml;
    std::string relationships;
};
VmlParts vml_parts(const HeaderFooterDrawing& drawing, std::int32_t block, MediaStore& media);

}  // namespace xlsreport::detail
