// docProps/core.xml and docProps/app.xml: who made the document and with which program. The
// caller names itself; this layer knows no program.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace ooxml {

// An empty field is left out of the part. Without dates the same document always gives the
// same bytes.
struct DocumentProperties {
    std::string application;       // app.xml Application
    std::string app_version;       // app.xml AppVersion, "16.0000"
    std::string company;           // app.xml Company
    std::string title;             // core.xml dc:title
    std::string subject;           // core.xml dc:subject
    std::string creator;           // core.xml dc:creator
    std::string keywords;          // core.xml cp:keywords
    std::string description;       // core.xml dc:description
    std::string category;          // core.xml cp:category
    std::string last_modified_by;  // core.xml cp:lastModifiedBy
    std::string created;           // core.xml dcterms:created, "2026-12-08T21:00:00Z"
    std::string modified;          // core.xml dcterms:modified
};

std::string core_properties_xml(const DocumentProperties& properties);
std::string app_properties_xml(const DocumentProperties& properties);

// The descriptive core properties another program wrote (title, subject, creator, keywords,
// description, category), whatever prefixes it chose; the rest stays empty. RunTimeError
// (invalid file format) naming `part_name` and the byte offset when it is not such a part.
DocumentProperties parse_core_properties(std::string_view xml, std::string_view part_name);

// A date and time as core.xml holds it, in UTC to the second: "2026-12-08T21:00:00Z".
std::string w3c_date_time(std::chrono::system_clock::time_point time);

}  // namespace ooxml
