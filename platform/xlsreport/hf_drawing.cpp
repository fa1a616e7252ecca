#include "platform/xlsreport/hf_drawing.h"

#include <algorithm>
#include <string_view>

#include "platform/ooxml/relationships.h"
#include "platform/ooxml/xml_writer.h"

namespace xlsreport::detail {

namespace {

constexpr std::string_view office_ns = "urn:schemas-microsoft-com:office:office";
constexpr std::string_view relationships_ns =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The namespace an attribute's or element's prefixed name is in ("" without a prefix or a
// declaration in scope).
std::string_view namespace_of(const pugi::xml_node& node, std::string_view name) {
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) return {};
    const std::string declaration = "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node n = node; n; n = n.parent()) {
        const pugi::xml_attribute a = n.attribute(declaration.c_str());
        if (a) return a.value();
    }
    return {};
}

std::string_view local_part(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool refers(const pugi::xml_node& element, const pugi::xml_attribute& a) {
    const std::string_view ns = namespace_of(element, a.name());
    return ns == relationships_ns || (ns == office_ns && local_part(a.name()) == "relid");
}

bool is_shape_id(const pugi::xml_node& element, const pugi::xml_attribute& a) {
    return local_part(a.name()) == "spid" && namespace_of(element, a.name()) == office_ns;
}

bool is_id_map(const pugi::xml_node& element) {
    return local_part(element.name()) == "idmap" &&
           namespace_of(element, element.name()) == office_ns;
}

template <typename Visit>
void each_element(const pugi::xml_node& node, Visit visit) {
    for (const pugi::xml_node c : node.children()) {
        if (c.type() != pugi::node_element) continue;
        visit(c);
        each_element(c, visit);
    }
}

// The element written as it stands, with its shape ids and id block made this sheet's own.
void copy_vml(ooxml::XmlWriter& out, const pugi::xml_node& element, std::int32_t block,
              std::int64_t& next_shape) {
    out.start(element.name());
    for (const pugi::xml_attribute a : element.attributes()) {
        if (is_shape_id(element, a)) {
            out.attribute(a.name(), "_x0000_s" + std::to_string(next_shape++));
        } else if (is_id_map(element) && std::string_view(a.name()) == "data") {
            out.attribute(a.name(), block);
        } else {
            out.attribute(a.name(), std::string_view(a.value()));
        }
    }
    for (const pugi::xml_node c : element.children()) {
        if (c.type() == pugi::node_element) {
            copy_vml(out, c, block, next_shape);
        } else if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            out.text(std::string_view(c.value()));
        }
    }
    out.end();
}

}  // namespace

/* ------------------------------------------------------------ vml_relationship_ids */
std::vector<std::string> vml_relationship_ids(const pugi::xml_document& vml) {
    std::vector<std::string> ids;
    each_element(vml, [&](const pugi::xml_node& e) {
        for (const pugi::xml_attribute a : e.attributes()) {
            if (refers(e, a) && std::find(ids.begin(), ids.end(), a.value()) == ids.end())
                ids.emplace_back(a.value());
        }
    });
    return ids;
}

/* ------------------------------------------------------------ vml_shape_count */
std::size_t vml_shape_count(const pugi::xml_document& vml) {
    std::size_t count = 0;
    each_element(vml, [&](const pugi::xml_node& e) {
        for (const pugi::xml_attribute a : e.attributes())
            if (is_shape_id(e, a)) ++count;
    });
    return count;
}

/* ------------------------------------------------------------ vml_parts */
VmlParts vml_parts(const HeaderFooterDrawing& drawing, std::int32_t block, MediaStore& media) {
    ooxml::Relationships relationships;
    for (const HeaderFooterDrawing::Image& image : drawing.images) {
        const std::size_t m = media.add(image.type, image.bytes);
        relationships.add_with_id(
            image.relationship_id, ooxml::relationship_type::image,
            "../media/image" + std::to_string(m + 1) + "." + std::string(image.type.extension));
    }
    ooxml::XmlWriter out;
    std::int64_t next_shape = std::int64_t{block} * 1024 + 1;
    copy_vml(out, drawing.vml->document_element(), block, next_shape);
    out.finish();
    return {out.take(), relationships.xml()};
}

}  // namespace xlsreport::detail
