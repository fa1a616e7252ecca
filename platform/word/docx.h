// Writing the document as a .docx package (WordprocessingML, ECMA-376).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ooxml/part_spool.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/word/model.h"

namespace word::detail {

// Pictures in word/media/, each with its relationship. A picture of settled content has been
// deflated into the settled body's spool and is no longer held.
struct MediaPart {
    std::string relationship_id;
    std::string name;  // media/imageN.ext
    std::string extension;
    std::string content_type;
    std::shared_ptr<const Picture> picture;  // until settled
    ooxml::PartSpool::Part deflated;         // once settled
};

struct MediaTable {
    std::vector<MediaPart> parts;
    // The part of each picture, by the picture's address; the weak pointer tells a picture
    // that has gone from a new one at the same address.
    std::map<const Picture*, std::pair<std::weak_ptr<const Picture>, std::size_t>> index;
    const MediaPart& add(const std::shared_ptr<const Picture>& picture);
};

// rPr / pPr children of a format, in the schema's order. `line_fallback` gives the line
// spacing rule and value a format inherits when it sets only one of them.
std::string run_properties(const CharFormat& f);
std::string paragraph_properties(const ParaFormat& f, const DocState& doc,
                                 const std::function<std::int32_t(ParaProp)>& inherited);

// What writing the body carries from one block to the next: the formats' XML once made, and
// the drawings' numbers.
struct BodyState {
    std::vector<std::optional<std::string>> run_properties;
    std::vector<std::optional<std::string>> paragraph_properties;
    std::size_t drawings = 0;
};

struct SettledBody;

// Every picture of the live blocks in the order document.xml refers to them, after those
// `media` has already.
void collect_media(const DocState& doc, MediaTable& media);

// word/document.xml, made piece by piece so that a long document never sits in memory as one
// string: the settled body's part goes on, or the part starts afresh when nothing is settled.
// `media` must hold every picture of the live blocks (collect_media).
class DocumentXml {
  public:
    DocumentXml(const DocState& doc, MediaTable& media);
    ~DocumentXml();
    DocumentXml(const DocumentXml&) = delete;
    DocumentXml& operator=(const DocumentXml&) = delete;
    // The next piece, `size` bytes or a little more; empty once the part is complete.
    const std::string& next(std::size_t size);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
std::string styles_xml(const DocState& doc);
std::string settings_xml(const DocState& doc);

// The body written out so far (Document::Settle): document.xml up to the live blocks,
// deflated as it was settled, and the settled pictures.
struct SettledBody {
    std::shared_ptr<ooxml::PartSpool> spool = std::make_shared<ooxml::PartSpool>();
    ooxml::PartSpool::Stream stream = spool->open_stream();
    // Goes on where the settled blocks end: the body element is still open.
    ooxml::XmlWriter writer;
    BodyState state;
    MediaTable media;
    // The stacking order of the settled pictures, ascending; the live ones stack among them.
    std::vector<std::int32_t> z;
};

// Writes out and lets go of the whole blocks that end at or before `position`.
void settle(DocState& doc, std::int32_t position);

// The whole package as bytes; deterministic for a given document.
std::string docx_bytes(const DocState& doc);
// Complete or absent: written to a temporary name in the folder, then renamed.
void save_docx(const DocState& doc, const std::filesystem::path& file);

}  // namespace word::detail
