// docProps/core.xml and docProps/app.xml: who made the document and with which program. The
// caller names itself; this layer knows no program.
#pragma once

#include <string>

namespace ooxml {

// An empty field is left out of the part. Without dates the same document always gives the
// same bytes.
struct DocumentProperties {
    std::string application;       // app.xml Application
    std::string app_version;       // app.xml AppVersion, "16.0000"
    std::string company;           // app.xml Company
    std::string title;             // core.xml dc:title
    std::string creator;           // core.xml dc:creator
    std::string last_modified_by;  // core.xml cp:lastModifiedBy
    std::string created;           // core.xml dcterms:created, "2026-12-08T21:00:00Z"
    std::string modified;          // core.xml dcterms:modified
};

std::string core_properties_xml(const DocumentProperties& properties);
std::string app_properties_xml(const DocumentProperties& properties);

}  // namespace ooxml
