#include "platform/ooxml/relationships.h"

#include <algorithm>
#include <cassert>
#include <charconv>

#include "platform/ooxml/part_xml.h"
#include "platform/ooxml/xml_writer.h"

namespace ooxml {

/* ---------------------------------------------------------------- add */
// The next id is one past the highest "rId<n>" in use, so ids of a parsed part, whatever their
// order, are never given twice.
std::string Relationships::add(std::string_view type, std::string_view target) {
    unsigned long highest = 0;
    for (const Relationship& r : relationships_) {
        const std::string_view id = r.id;
        if (!id.starts_with("rId")) continue;
        unsigned long n = 0;
        const auto [end, error] = std::from_chars(id.data() + 3, id.data() + id.size(), n);
        if (error == std::errc() && end == id.data() + id.size()) highest = std::max(highest, n);
    }
    std::string id = "rId" + std::to_string(highest + 1);
    relationships_.push_back({id, std::string(type), std::string(target), false});
    return id;
}

/* ---------------------------------------------------------------- add_with_id */
void Relationships::add_with_id(std::string_view id, std::string_view type,
                                std::string_view target) {
    assert(find_id(id) == nullptr);
    relationships_.push_back({std::string(id), std::string(type), std::string(target), false});
}

/* ---------------------------------------------------------------- find_id */
const Relationships::Relationship* Relationships::find_id(std::string_view id) const {
    const auto it = std::find_if(relationships_.begin(), relationships_.end(),
                                 [&](const Relationship& r) { return r.id == id; });
    return it == relationships_.end() ? nullptr : &*it;
}

/* ---------------------------------------------------------------- find_type */
const Relationships::Relationship* Relationships::find_type(std::string_view type) const {
    const auto it = std::find_if(relationships_.begin(), relationships_.end(),
                                 [&](const Relationship& r) { return r.type == type; });
    return it == relationships_.end() ? nullptr : &*it;
}

/* ---------------------------------------------------------------- parse */
Relationships Relationships::parse(std::string_view xml, std::string_view part_name) {
    const pugi::xml_document document = detail::parse_part(xml, part_name, "Relationships");
    Relationships out;
    for (const pugi::xml_node& node : document.document_element().children()) {
        if (node.type() != pugi::node_element || detail::local_name(node) != "Relationship") {
            continue;
        }
        const pugi::xml_attribute id = node.attribute("Id");
        const pugi::xml_attribute type = node.attribute("Type");
        const pugi::xml_attribute target = node.attribute("Target");
        const auto where = detail::element_offset(node);
        if (!id || !type || !target) {
            detail::bad_part(part_name, where, "Relationship without its Id, Type or Target");
        }
        if (out.find_id(id.value()) != nullptr) {
            detail::bad_part(part_name, where, "Relationship Id used twice");
        }
        out.relationships_.push_back(
            {id.value(), type.value(), target.value(),
             std::string_view(node.attribute("TargetMode").value()) == "External"});
    }
    return out;
}

/* ---------------------------------------------------------------- xml */
std::string Relationships::xml() const {
    XmlWriter w;
    w.declaration();
    w.start("Relationships");
    w.attribute("xmlns", "http://schemas.openxmlformats.org/package/2006/relationships");
    for (const Relationship& r : relationships_) {
        w.start("Relationship");
        w.attribute("Id", r.id);
        w.attribute("Type", r.type);
        w.attribute("Target", r.target);
        if (r.external) w.attribute("TargetMode", "External");
        w.end();
    }
    w.end();
    w.finish();
    return w.take();
}

}  // namespace ooxml
