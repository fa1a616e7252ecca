#include "platform/ooxml/copy_xml.h"

namespace ooxml {

/* ---------------------------------------------------------------- copy_element */
void copy_element(XmlWriter& out, const pugi::xml_node& element, const NodeFilter& keep) {
    out.start(element.name());
    for (const pugi::xml_attribute a : element.attributes()) {
        if (!keep || keep(element, a.name())) out.attribute(a.name(), std::string_view(a.value()));
    }
    for (const pugi::xml_node c : element.children()) {
        switch (c.type()) {
            case pugi::node_element:
                copy_element(out, c, keep);
                break;
            case pugi::node_pcdata:
            case pugi::node_cdata:
                out.text(std::string_view(c.value()));
                break;
            default:
                break;
        }
    }
    out.end();
}

/* ---------------------------------------------------------------- xml_fragment */
std::string xml_fragment(const pugi::xml_node& element, const NodeFilter& keep) {
    XmlWriter out;
    copy_element(out, element, keep);
    out.finish();
    return out.take();
}

/* ---------------------------------------------------------------- xml_document */
std::string xml_document(const pugi::xml_document& document) {
    XmlWriter out;
    if (document.first_child().type() == pugi::node_declaration) out.declaration();
    copy_element(out, document.document_element());
    out.finish();
    return out.take();
}

}  // namespace ooxml
