// Markup of a part another program wrote, carried into a part of ours through our writer.
#pragma once

#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "platform/ooxml/xml_writer.h"

namespace xlsreport::detail {

// Says whether an attribute (by its name) of an element is kept; all are kept without one.
using NodeFilter = std::function<bool(const pugi::xml_node& element, std::string_view attribute)>;

// Writes the element with its attributes, text and child elements (comments and processing
// instructions are left out). The document must outlive the elements written.
void copy_element(ooxml::XmlWriter& out, const pugi::xml_node& element,
                  const NodeFilter& keep = {});

// The element as a fragment to be written later with XmlWriter::fragment.
std::string xml_fragment(const pugi::xml_node& element, const NodeFilter& keep = {});

}  // namespace xlsreport::detail
