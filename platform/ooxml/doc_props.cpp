#include "platform/ooxml/doc_props.h"

#include <string_view>

#include "platform/ooxml/xml_writer.h"

namespace ooxml {

namespace {

void optional_element(XmlWriter& w, std::string_view name, const std::string& value) {
    if (!value.empty()) w.element(name, value);
}

void optional_date(XmlWriter& w, std::string_view name, const std::string& value) {
    if (value.empty()) return;
    w.start(name);
    w.attribute("xsi:type", "dcterms:W3CDTF");
    w.text(value);
    w.end();
}

}  // namespace

/* ---------------------------------------------------------------- core_properties_xml */
std::string core_properties_xml(const DocumentProperties& p) {
    XmlWriter w;
    w.declaration();
    w.start("cp:coreProperties");
    w.attribute("xmlns:cp",
                "http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    w.attribute("xmlns:dc", "http://purl.org/dc/elements/1.1/");
    w.attribute("xmlns:dcterms", "http://purl.org/dc/terms/");
    w.attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    optional_element(w, "dc:title", p.title);
    optional_element(w, "dc:creator", p.creator);
    optional_element(w, "cp:lastModifiedBy", p.last_modified_by);
    optional_date(w, "dcterms:created", p.created);
    optional_date(w, "dcterms:modified", p.modified);
    w.end();
    w.finish();
    return w.take();
}

/* ---------------------------------------------------------------- app_properties_xml */
std::string app_properties_xml(const DocumentProperties& p) {
    XmlWriter w;
    w.declaration();
    w.start("Properties");
    w.attribute("xmlns",
                "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties");
    optional_element(w, "Application", p.application);
    optional_element(w, "Company", p.company);
    optional_element(w, "AppVersion", p.app_version);
    w.end();
    w.finish();
    return w.take();
}

}  // namespace ooxml
