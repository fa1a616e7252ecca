#include "platform/ooxml/part_xml.h"

#include <string>

#include "base/run_time_error.h"

namespace ooxml::detail {

/* ---------------------------------------------------------------- bad_part */
void bad_part(std::string_view part_name, std::size_t offset, std::string_view what) {
    throw base::RunTimeError(
        base::ErrorNumber::invalid_file_format,
        std::string(part_name) + ": byte " + std::to_string(offset) + ": " + std::string(what));
}

/* ---------------------------------------------------------------- element_offset */
// pugixml gives the offset of the name; the user's editor shows the '<' before it.
std::size_t element_offset(const pugi::xml_node& node) {
    const std::ptrdiff_t name = node.offset_debug();
    return name > 0 ? static_cast<std::size_t>(name - 1) : 0;
}

/* ---------------------------------------------------------------- local_name */
std::string_view local_name(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

/* ---------------------------------------------------------------- parse_part */
pugi::xml_document parse_part(std::string_view xml, std::string_view part_name,
                              std::string_view root) {
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        bad_part(part_name, static_cast<std::size_t>(result.offset), result.description());
    }
    const pugi::xml_node top = document.document_element();
    if (local_name(top) != root) {
        bad_part(part_name, element_offset(top), "root element is not " + std::string(root));
    }
    return document;
}

}  // namespace ooxml::detail
