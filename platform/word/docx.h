// Writing the document as a .docx package (WordprocessingML, ECMA-376).
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ooxml/part_spool.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/word/model.h"

namespace word::detail {

// The kinds of picture a document embeds, by their extension in word/media/.
struct MediaKind {
    std::string_view extension;
    std::string_view content_type;
};
inline constexpr MediaKind media_kinds[] = {
    {"emf", "image/x-emf"}, {"png", "image/png"}, {"jpeg", "image/jpeg"}, {"bmp", "image/bmp"}};
std::uint8_t media_kind_of(const Picture& picture);

// Picture n (from 1) of word/media/ is "media/image<n>.<extension>", related as "rIdImage<n>".
std::string media_relationship_id(std::size_t number);
std::string media_name(std::size_t number, std::string_view extension);

// The pictures in word/media/, numbered in the order the body refers to them. Those of settled
// content come first; they have been deflated into the settled body's spool and are no longer
// held here.
struct MediaTable {
    std::size_t settled = 0;
    std::vector<std::shared_ptr<const Picture>> live;  // numbers settled + 1 on
    // The number of each picture, by its address; the weak pointer tells a picture that has
    // gone from a new one at the same address.
    std::map<const Picture*, std::pair<std::weak_ptr<const Picture>, std::size_t>> index;
    // The picture's number, added when new.
    std::size_t add(const std::shared_ptr<const Picture>& picture);
    std::size_t size() const noexcept { return settled + live.size(); }
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
    SettledBody() = default;
    // The spool's work may still fill in the pictures' places.
    ~SettledBody() { spool->drain(); }
    SettledBody(const SettledBody&) = delete;
    SettledBody& operator=(const SettledBody&) = delete;

    std::shared_ptr<ooxml::PartSpool> spool = std::make_shared<ooxml::PartSpool>();
    ooxml::PartSpool::Stream stream = spool->open_stream();
    // Goes on where the settled blocks end: the body element is still open.
    ooxml::XmlWriter writer;
    BodyState state;
    MediaTable media;
    // Each settled picture's deflated bytes and kind, by number.
    struct Picture {
        ooxml::SpooledPart part;
        std::uint8_t kind = 0;
    };
    std::deque<Picture> pictures;
    // The stacking order of the settled pictures, ascending; the live ones stack among them.
    std::vector<std::int32_t> z;
};

// Writes out and lets go of the whole blocks that end at or before `position`.
void settle(DocState& doc, std::int32_t position);

// The whole package as bytes, without a title; the same document gives the same bytes but for
// the modified time.
std::string docx_bytes(const DocState& doc);
// Complete or absent: written to a temporary name in the folder, then renamed. The file's name
// without its extension becomes the document's title.
void save_docx(const DocState& doc, const std::filesystem::path& file);

}  // namespace word::detail
