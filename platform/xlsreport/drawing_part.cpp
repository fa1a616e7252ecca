#include <cmath>
#include <map>

#include "platform/ooxml/relationships.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/xlsreport/sheet_parts.h"

namespace xlsreport::detail {

namespace {

constexpr double emu_per_point = 12700;

std::int64_t emu(double points) {
    return std::llround(points * emu_per_point);
}

void element(ooxml::XmlWriter& out, const char* name, std::int64_t value) {
    out.start(name);
    out.number(value);
    out.end();
}

}  // namespace

/* ------------------------------------------------------------ drawing_parts */
DrawingParts drawing_parts(const SheetModel& sheet, const MediaStore& media) {
    ooxml::Relationships relationships;
    std::map<std::size_t, std::string> ids;
    ooxml::XmlWriter out;
    out.declaration();
    out.start("xdr:wsDr");
    out.attribute("xmlns:xdr",
                  "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing");
    out.attribute("xmlns:a", "http://schemas.openxmlformats.org/drawingml/2006/main");
    out.attribute("xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    std::int64_t number = 0;
    for (const PlacedPicture& p : sheet.pictures()) {
        ++number;
        auto id = ids.find(p.media);
        if (id == ids.end()) {
            const MediaStore::Media& m = media.all()[p.media];
            const std::string target = "../media/image" + std::to_string(p.media + 1) + "." +
                                       std::string(m.type.extension);
            id = ids.emplace(p.media, relationships.add(ooxml::relationship_type::image, target))
                     .first;
        }
        // Anchored to one cell with a size of its own: rows and columns keep the picture's
        // size when their heights or widths change.
        out.start("xdr:oneCellAnchor");
        out.start("xdr:from");
        element(out, "xdr:col", p.col);
        element(out, "xdr:colOff", emu(p.x));
        element(out, "xdr:row", p.row);
        element(out, "xdr:rowOff", emu(p.y));
        out.end();
        const std::string cx = std::to_string(emu(p.width));
        const std::string cy = std::to_string(emu(p.height));
        out.empty("xdr:ext", {{"cx", cx}, {"cy", cy}});
        out.start("xdr:pic");
        out.start("xdr:nvPicPr");
        out.start("xdr:cNvPr");
        out.attribute("id", number + 1);
        out.attribute("name", "Picture " + std::to_string(number));
        out.end();
        out.start("xdr:cNvPicPr");
        out.empty("a:picLocks", {{"noChangeAspect", "1"}});
        out.end();
        out.end();
        out.start("xdr:blipFill");
        out.empty("a:blip", {{"r:embed", id->second}});
        out.start("a:stretch");
        out.empty("a:fillRect");
        out.end();
        out.end();
        out.start("xdr:spPr");
        out.start("a:xfrm");
        out.empty("a:off", {{"x", "0"}, {"y", "0"}});
        out.empty("a:ext", {{"cx", cx}, {"cy", cy}});
        out.end();
        out.start("a:prstGeom");
        out.attribute("prst", "rect");
        out.empty("a:avLst");
        out.end();
        out.end();
        out.end();
        out.empty("xdr:clientData");
        out.end();
    }
    out.end();
    out.finish();
    return {out.take(), relationships.xml()};
}

}  // namespace xlsreport::detail
