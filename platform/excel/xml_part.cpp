#include "platform/excel/xml_part.h"

#include <optional>
#include <utility>

#include "platform/excel/excel_errors.h"
#include "platform/ooxml/copy_xml.h"
#include "platform/ooxml/xml_splice.h"

namespace excel::detail {

namespace {

// Whitespace-only text is kept where it is an element's only content: a cell string of blanks.
constexpr unsigned parse_options =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

}  // namespace

/* ---------------------------------------------------------------- XmlPart */
XmlPart::XmlPart(std::string bytes, std::string name, std::string_view root,
                 const std::filesystem::path& file)
    : bytes_(std::move(bytes)), name_(std::move(name)) {
    const pugi::xml_parse_result result =
        document_.load_buffer(bytes_.data(), bytes_.size(), parse_options, pugi::encoding_utf8);
    if (!result) {
        not_a_workbook(
            file, name_ + ": byte " + std::to_string(result.offset) + ": " + result.description());
    }
    if (local_name(document_.document_element()) != root) {
        not_a_workbook(file, name_ + ": root element is not " + std::string(root));
    }
}

/* ---------------------------------------------------------------- XmlPart::xml */
// What changed goes through the package layer's writer, not pugixml's: a value set here (a font
// name from the job) may hold a character that XML 1.0 cannot carry even as a reference.
std::string XmlPart::xml() const {
    if (!whole_ && !changed_elements_.empty()) {
        if (std::optional<std::string> spliced =
                ooxml::splice_changed_elements(bytes_, changed_elements_)) {
            return std::move(*spliced);
        }
    }
    return ooxml::xml_document(document_);
}

/* ---------------------------------------------------------------- local_name */
std::string_view local_name(pugi::xml_node node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

/* ---------------------------------------------------------------- child_named */
pugi::xml_node child_named(pugi::xml_node parent, std::string_view name) {
    for (const pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element && local_name(child) == name) return child;
    }
    return {};
}

/* ---------------------------------------------------------------- prefixed */
std::string prefixed(pugi::xml_node like, std::string_view local) {
    const std::string_view name = like.name();
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) return std::string(local);
    return std::string(name.substr(0, colon + 1)) + std::string(local);
}

}  // namespace excel::detail
