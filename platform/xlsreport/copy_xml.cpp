#include "platform/xlsreport/copy_xml.h"

namespace xlsreport::detail {

/* ------------------------------------------------------------ copy_element */
void copy_element(ooxml::XmlWriter& out, const pugi::xml_node& element, const NodeFilter& keep) {
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

/* ------------------------------------------------------------ xml_fragment */
std::string xml_fragment(const pugi::xml_node& element, const NodeFilter& keep) {
    ooxml::XmlWriter out;
    copy_element(out, element, keep);
    out.finish();
    return out.take();
}

}  // namespace xlsreport::detail
