// Writing the document as a .docx package (WordprocessingML, ECMA-376).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/word/model.h"

namespace word::detail {

// Pictures in word/media/, each with its relationship.
struct MediaPart {
    std::string relationship_id;
    std::string name;  // word/media/imageN.ext
    std::shared_ptr<const Picture> picture;
};

struct MediaTable {
    std::vector<MediaPart> parts;
    std::map<const Picture*, std::size_t> index;
    const MediaPart& add(const std::shared_ptr<const Picture>& picture);
};

// rPr / pPr children of a format, in the schema's order. `line_fallback` gives the line
// spacing rule and value a format inherits when it sets only one of them.
std::string run_properties(const CharFormat& f);
std::string paragraph_properties(const ParaFormat& f, const DocState& doc,
                                 const std::function<std::int32_t(ParaProp)>& inherited);

// Every picture of the document in the order document.xml refers to them.
MediaTable collect_media(const DocState& doc);

// word/document.xml, made piece by piece so that a long document never sits in memory as one
// string. `media` must hold every picture (collect_media).
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

// The whole package as bytes, without a title; the same document gives the same bytes but for
// the modified time.
std::string docx_bytes(const DocState& doc);
// Complete or absent: written to a temporary name in the folder, then renamed. The file's name
// without its extension becomes the document's title.
void save_docx(const DocState& doc, const std::filesystem::path& file);

}  // namespace word::detail
