// Markup held as a tree (a part another program wrote, or one being changed) carried into a
// part through the one XML writer, so that its text is cleaned like every other.
#pragma once

#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "platform/ooxml/xml_writer.h"

namespace ooxml {

// Says whether an attribute (by its name) of an element is kept; all are kept without one.
using NodeFilter = std::function<bool(const pugi::xml_node& element, std::string_view attribute)>;

// Writes the element with its attributes, text and child elements (comments and processing
// instructions are left out). The document must outlive the elements written.
void copy_element(XmlWriter& out, const pugi::xml_node& element, const NodeFilter& keep = {});

// The element as a fragment to be written later with XmlWriter::fragment.
std::string xml_fragment(const pugi::xml_node& element, const NodeFilter& keep = {});

// The whole document as a part: the declaration when the tree has one, then its root element.
std::string xml_document(const pugi::xml_document& document);

}  // namespace ooxml
