// Reading parts that other programs wrote: one place that turns a bad part into the error the
// user sees, naming the part and the byte offset.
#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string_view>

namespace ooxml::detail {

[[noreturn]] void bad_part(std::string_view part_name, std::size_t offset, std::string_view what);

// The parsed part; bad_part when it is not well-formed XML or its root is not `root`
// (compared by local name, whatever prefix it carries).
pugi::xml_document parse_part(std::string_view xml, std::string_view part_name,
                              std::string_view root);

// Where the element's start tag begins in the part.
std::size_t element_offset(const pugi::xml_node& node);

// The name without its namespace prefix.
std::string_view local_name(const pugi::xml_node& node);

}  // namespace ooxml::detail
