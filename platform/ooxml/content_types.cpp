#include "platform/ooxml/content_types.h"

#include <algorithm>
#include <cassert>

#include "platform/ooxml/part_xml.h"
#include "platform/ooxml/xml_writer.h"

namespace ooxml {

namespace {

// Part names and extensions are ASCII in every package we meet; compared as the package
// format wants, without regard to case.
bool same_ascii(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

/* ---------------------------------------------------------------- with_package_defaults */
ContentTypes ContentTypes::with_package_defaults() {
    ContentTypes types;
    types.add_default("rels", "application/vnd.openxmlformats-package.relationships+xml");
    types.add_default("xml", "application/xml");
    return types;
}

/* ---------------------------------------------------------------- add_default */
void ContentTypes::add_default(std::string_view extension, std::string_view content_type) {
    for (Default& d : defaults_) {
        if (same_ascii(d.extension, extension)) {
            d.content_type = content_type;
            return;
        }
    }
    defaults_.push_back({std::string(extension), std::string(content_type)});
}

/* ---------------------------------------------------------------- add_override */
void ContentTypes::add_override(std::string_view part_name, std::string_view content_type) {
    assert(part_name.starts_with('/'));
    for (Override& o : overrides_) {
        if (same_ascii(o.part_name, part_name)) {
            o.content_type = content_type;
            return;
        }
    }
    overrides_.push_back({std::string(part_name), std::string(content_type)});
}

/* ---------------------------------------------------------------- remove_override */
bool ContentTypes::remove_override(std::string_view part_name) {
    return std::erase_if(overrides_,
                         [&](const Override& o) { return same_ascii(o.part_name, part_name); }) > 0;
}

/* ---------------------------------------------------------------- content_type */
std::optional<std::string> ContentTypes::content_type(std::string_view part_name) const {
    for (const Override& o : overrides_) {
        if (same_ascii(o.part_name, part_name)) return o.content_type;
    }
    const std::size_t dot = part_name.rfind('.');
    if (dot == std::string_view::npos || part_name.find('/', dot) != std::string_view::npos) {
        return std::nullopt;
    }
    for (const Default& d : defaults_) {
        if (same_ascii(d.extension, part_name.substr(dot + 1))) return d.content_type;
    }
    return std::nullopt;
}

/* ---------------------------------------------------------------- parse */
ContentTypes ContentTypes::parse(std::string_view xml, std::string_view part_name) {
    const pugi::xml_document document = detail::parse_part(xml, part_name, "Types");
    ContentTypes types;
    for (const pugi::xml_node& node : document.document_element().children()) {
        if (node.type() != pugi::node_element) continue;
        const std::string_view kind = detail::local_name(node);
        const pugi::xml_attribute type = node.attribute("ContentType");
        const auto where = detail::element_offset(node);
        if (kind == "Default") {
            const pugi::xml_attribute extension = node.attribute("Extension");
            if (!extension || !type) detail::bad_part(part_name, where, "Default without its type");
            types.add_default(extension.value(), type.value());
        } else if (kind == "Override") {
            const pugi::xml_attribute name = node.attribute("PartName");
            if (!name || !type || name.value()[0] != '/') {
                detail::bad_part(part_name, where, "Override without its part name or type");
            }
            types.add_override(name.value(), type.value());
        }
    }
    return types;
}

/* ---------------------------------------------------------------- xml */
std::string ContentTypes::xml() const {
    XmlWriter w;
    w.declaration();
    w.start("Types");
    w.attribute("xmlns", "http://schemas.openxmlformats.org/package/2006/content-types");
    for (const Default& d : defaults_) {
        w.empty("Default", {{"Extension", d.extension}, {"ContentType", d.content_type}});
    }
    for (const Override& o : overrides_) {
        w.empty("Override", {{"PartName", o.part_name}, {"ContentType", o.content_type}});
    }
    w.end();
    w.finish();
    return w.take();
}

}  // namespace ooxml
