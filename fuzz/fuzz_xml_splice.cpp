#include <cstddef>
#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "platform/ooxml/copy_xml.h"
#include "platform/ooxml/xml_splice.h"

// A part of a workbook read, changed in some elements and written back with the bytes of the
// rest. Whatever the part holds, what comes out must read back as the changed tree.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned pick = data[0];
    const std::string source(reinterpret_cast<const char*>(data) + 1, size - 1);
    constexpr unsigned options =
        pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    pugi::xml_document document;
    if (!document.load_buffer(source.data(), source.size(), options, pugi::encoding_utf8)) {
        return 0;
    }
    // The first byte chooses which elements change: every one whose place in document order
    // has that bit set.
    std::vector<pugi::xml_node> changed;
    unsigned order = 0;
    for (pugi::xml_node node = document.document_element(); node;) {
        if (node.type() == pugi::node_element && ((pick >> (order++ % 8)) & 1U) != 0) {
            node.append_attribute("fz") = "<&\"\t>";
            changed.push_back(node);
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) node = node.parent();
        if (node) node = node.next_sibling();
    }
    const std::optional<std::string> spliced = ooxml::splice_changed_elements(source, changed);
    if (!spliced) return 0;
    pugi::xml_document again;
    if (!again.load_buffer(spliced->data(), spliced->size(), options, pugi::encoding_utf8)) {
        __builtin_trap();
    }
    if (ooxml::xml_document(again) != ooxml::xml_document(document)) __builtin_trap();
    return 0;
}
