// A part read as a tree and changed in a few elements, written again from the bytes it was read
// from: the elements left alone keep their bytes, those changed go through the one XML writer.
// Writing a sheet of fifty pages through the writer took longer than deflating it, to change a
// few hundred of its cells.
#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace ooxml {

// `source` is the text the elements' document was parsed from (UTF-8, not parsed in place);
// `changed` are elements of it, read from `source`, whose attributes or content have changed
// since. Nothing (the caller writes the whole tree instead) when an element has no place in the
// source, or when the source holds anything the writer would not write as it is: a character
// XML 1.0 cannot carry, malformed UTF-8, a reference that is not one of XML's own, markup
// declarations, comments or character data sections.
std::optional<std::string> splice_changed_elements(std::string_view source,
                                                   const std::vector<pugi::xml_node>& changed);

}  // namespace ooxml
