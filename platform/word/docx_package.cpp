// The zip package of a .docx: the Word parts put together with the package layer's own.
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ooxml/content_types.h"
#include "platform/ooxml/doc_props.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/relationships.h"
#include "platform/word/docx.h"

namespace word::detail {

namespace {

namespace rel = ooxml::relationship_type;

constexpr std::string_view wml = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

std::string content_types_xml(const MediaTable& media) {
    ooxml::ContentTypes types = ooxml::ContentTypes::with_package_defaults();
    for (const MediaPart& m : media.parts) {
        if (!types.content_type("/word/" + m.name)) {
            types.add_default(m.picture->extension, m.picture->content_type);
        }
    }
    types.add_override("/word/document.xml", std::string(wml) + "document.main+xml");
    types.add_override("/word/styles.xml", std::string(wml) + "styles+xml");
    types.add_override("/word/settings.xml", std::string(wml) + "settings+xml");
    types.add_override("/docProps/core.xml",
                       "application/vnd.openxmlformats-package.core-properties+xml");
    types.add_override("/docProps/app.xml",
                       "application/vnd.openxmlformats-officedocument.extended-properties+xml");
    return types.xml();
}

std::string package_relationships_xml() {
    ooxml::Relationships rels;
    rels.add(rel::office_document, "word/document.xml");
    rels.add(rel::core_properties, "docProps/core.xml");
    rels.add(rel::extended_properties, "docProps/app.xml");
    return rels.xml();
}

std::string document_relationships_xml(const MediaTable& media) {
    ooxml::Relationships rels;
    rels.add(rel::styles, "styles.xml");
    rels.add(rel::settings, "settings.xml");
    for (const MediaPart& m : media.parts) rels.add_with_id(m.relationship_id, rel::image, m.name);
    return rels.xml();
}

// The package of `doc`, its parts in a fixed order; document.xml streamed. `title` is the
// document's title property ("" for none).
void add_parts(ooxml::PackageWriter& package, const DocState& doc, std::string_view title) {
    auto media = std::make_shared<MediaTable>(collect_media(doc));
    package.add("[Content_Types].xml", content_types_xml(*media));
    package.add("_rels/.rels", package_relationships_xml());
    package.add_stream("word/document.xml", [&doc, media]() -> ooxml::PartPieces {
        auto body = std::make_shared<DocumentXml>(doc, *media);
        return [body] { return std::string_view(body->next(1 << 20)); };
    });
    package.add("word/styles.xml", styles_xml(doc));
    package.add("word/settings.xml", settings_xml(doc));
    package.add("word/_rels/document.xml.rels", document_relationships_xml(*media));
    for (const MediaPart& m : media->parts) package.add("word/" + m.name, m.picture->bytes);
    // The program that drives the instance names itself; this layer knows none.
    ooxml::DocumentProperties properties;
    if (doc.app != nullptr) {
        properties.application = doc.app->program_name;
        properties.creator = doc.app->program_name;
    }
    properties.title = title;
    properties.created = ooxml::w3c_date_time(doc.created);
    properties.modified = ooxml::w3c_date_time(std::chrono::system_clock::now());
    package.add("docProps/core.xml", ooxml::core_properties_xml(properties));
    package.add("docProps/app.xml", ooxml::app_properties_xml(properties));
}

}  // namespace

/* ---------------------------------------------------------------- docx_bytes */
std::string docx_bytes(const DocState& doc) {
    ooxml::PackageWriter package;
    add_parts(package, doc, "");
    return package.finish();
}

/* ---------------------------------------------------------------- save_docx */
void save_docx(const DocState& doc, const std::filesystem::path& file) {
    ooxml::PackageWriter package;
    // Word's own title is the document's name until someone gives it another.
    add_parts(package, doc, file.stem().string());
    package.commit(file);
}

}  // namespace word::detail
