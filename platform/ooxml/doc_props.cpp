#include "platform/ooxml/doc_props.h"

#include <cstdio>
#include <string_view>

#include "platform/ooxml/part_xml.h"
#include "platform/ooxml/xml_writer.h"

namespace ooxml {

namespace {

void optional_element(XmlWriter& w, std::string_view name, const std::string& value) {
    if (!value.empty()) w.element(name, value);
}

constexpr std::string_view core_ns =
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr std::string_view dc_ns = "http://purl.org/dc/elements/1.1/";

// The namespace of the element's name, from the declarations in scope.
std::string_view namespace_of(const pugi::xml_node& element) {
    const std::string_view name = element.name();
    const std::size_t colon = name.find(':');
    const std::string declaration =
        colon == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node n = element; n; n = n.parent()) {
        const pugi::xml_attribute a = n.attribute(declaration.c_str());
        if (a) return a.value();
    }
    return {};
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
    optional_element(w, "dc:subject", p.subject);
    optional_element(w, "dc:creator", p.creator);
    optional_element(w, "cp:keywords", p.keywords);
    optional_element(w, "dc:description", p.description);
    optional_element(w, "cp:category", p.category);
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

/* ---------------------------------------------------------------- parse_core_properties */
DocumentProperties parse_core_properties(std::string_view xml, std::string_view part_name) {
    const pugi::xml_document document = detail::parse_part(xml, part_name, "coreProperties");
    DocumentProperties p;
    for (const pugi::xml_node field : document.document_element().children()) {
        const std::string_view name = detail::local_name(field);
        const std::string_view ns = namespace_of(field);
        std::string* into = nullptr;
        if (ns == dc_ns) {
            into = name == "title"         ? &p.title
                   : name == "subject"     ? &p.subject
                   : name == "creator"     ? &p.creator
                   : name == "description" ? &p.description
                                           : nullptr;
        } else if (ns == core_ns) {
            into = name == "keywords" ? &p.keywords : name == "category" ? &p.category : nullptr;
        }
        if (into != nullptr) *into = field.text().get();
    }
    return p;
}

/* ---------------------------------------------------------------- w3c_date_time */
std::string w3c_date_time(std::chrono::system_clock::time_point time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    const auto day = std::chrono::floor<std::chrono::days>(seconds);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss clock{seconds - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

}  // namespace ooxml
