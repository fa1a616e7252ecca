// The zip package of a .docx: the Word parts put together with the package layer's own.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ooxml/content_types.h"
#include "platform/ooxml/doc_props.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/relationships.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/word/docx.h"

namespace word::detail {

namespace {

namespace rel = ooxml::relationship_type;

constexpr std::string_view wml = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

std::string content_types_xml(const SettledBody* settled, const MediaTable& media) {
    ooxml::ContentTypes types = ooxml::ContentTypes::with_package_defaults();
    const auto add = [&](std::string_view extension, std::string_view content_type) {
        if (!types.content_type("/word/media/image." + std::string(extension))) {
            types.add_default(extension, content_type);
        }
    };
    if (settled != nullptr) {
        for (const SettledBody::Picture& p : settled->pictures) {
            add(media_kinds[p.kind].extension, media_kinds[p.kind].content_type);
        }
    }
    for (const auto& picture : media.live) add(picture->extension, picture->content_type);
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

// The document's relationships: its styles and settings, then every picture. Made piece by
// piece, as Relationships would make them whole: a long document has tens of thousands.
std::function<ooxml::PartPieces()> document_relationships(const SettledBody* settled,
                                                          const MediaTable& media) {
    return [settled, &media]() -> ooxml::PartPieces {
        auto writer = std::make_shared<ooxml::XmlWriter>();
        auto piece = std::make_shared<std::string>();
        auto next = std::make_shared<std::size_t>(0);
        const auto relationship = [writer](std::string_view id, std::string_view type,
                                           std::string_view target) {
            writer->start("Relationship");
            writer->attribute("Id", id);
            writer->attribute("Type", type);
            writer->attribute("Target", target);
            writer->end();
        };
        writer->declaration();
        writer->start("Relationships");
        writer->attribute("xmlns", "http://schemas.openxmlformats.org/package/2006/relationships");
        relationship("rId1", rel::styles, "styles.xml");
        relationship("rId2", rel::settings, "settings.xml");
        return [=, &media]() -> std::string_view {
            const std::size_t total = media.size();
            if (*next > total) return {};
            for (std::size_t n = 0; n < 512 && *next < total; ++n) {
                const std::size_t number = ++*next;
                const std::string_view extension =
                    number <= media.settled
                        ? media_kinds[settled->pictures[number - 1].kind].extension
                        : std::string_view(media.live[number - media.settled - 1]->extension);
                relationship(media_relationship_id(number), rel::image,
                             media_name(number, extension));
            }
            if (*next == total) {
                ++*next;
                writer->end();
                writer->finish();
            }
            *piece = writer->take();
            return *piece;
        };
    };
}

// The package of `doc`, its parts in a fixed order; document.xml streamed. A settled body's
// part goes on with the live blocks, in a stream of its own, so that the document can be saved
// again and settled further. `title` is the document's title property ("" for none).
void add_parts(ooxml::PackageWriter& package, const DocState& doc, std::string_view title) {
    const SettledBody* settled = doc.settled.get();
    auto media = std::make_shared<MediaTable>(settled ? settled->media : MediaTable{});
    collect_media(doc, *media);
    package.add("[Content_Types].xml", content_types_xml(settled, *media));
    package.add("_rels/.rels", package_relationships_xml());
    if (settled) {
        ooxml::PartSpool::Stream stream = settled->stream.fork();
        DocumentXml body(doc, *media);
        for (std::string piece = body.next(1 << 20); !piece.empty(); piece = body.next(1 << 20)) {
            stream.write(std::move(piece));
        }
        package.add_deflated("word/document.xml", stream.finish());
    } else {
        package.add_stream("word/document.xml", [&doc, media]() -> ooxml::PartPieces {
            auto body = std::make_shared<DocumentXml>(doc, *media);
            return [body] { return std::string_view(body->next(1 << 20)); };
        });
    }
    package.add("word/styles.xml", styles_xml(doc));
    package.add("word/settings.xml", settings_xml(doc));
    package.add_stream("word/_rels/document.xml.rels", document_relationships(settled, *media));
    for (std::size_t number = 1; number <= media->size(); ++number) {
        if (number <= media->settled) {
            const SettledBody::Picture& p = settled->pictures[number - 1];
            package.add_deflated("word/" + media_name(number, media_kinds[p.kind].extension),
                                 p.part);
        } else {
            const Picture& p = *media->live[number - media->settled - 1];
            package.add("word/" + media_name(number, p.extension), p.bytes);
        }
    }
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

std::shared_ptr<ooxml::PartSpool> spool_of(const DocState& doc) {
    return doc.settled ? doc.settled->spool : std::make_shared<ooxml::PartSpool>();
}

}  // namespace

/* ---------------------------------------------------------------- docx_bytes */
std::string docx_bytes(const DocState& doc) {
    ooxml::PackageWriter package(spool_of(doc));
    add_parts(package, doc, "");
    return package.finish();
}

/* ---------------------------------------------------------------- save_docx */
void save_docx(const DocState& doc, const std::filesystem::path& file) {
    ooxml::PackageWriter package(file, spool_of(doc));
    // Word's own title is the document's name until someone gives it another.
    add_parts(package, doc, file.stem().string());
    package.commit();
}

}  // namespace word::detail
