// A relationships part (_rels/.rels, word/_rels/document.xml.rels, ...): which part refers to
// which, by id.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ooxml {

// The relationship types the programs use.
namespace relationship_type {
inline constexpr std::string_view office_document =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr std::string_view core_properties =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
inline constexpr std::string_view extended_properties =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
inline constexpr std::string_view image =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
inline constexpr std::string_view styles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr std::string_view settings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
inline constexpr std::string_view worksheet =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
inline constexpr std::string_view shared_strings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
inline constexpr std::string_view drawing =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing";
inline constexpr std::string_view vml_drawing =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing";
}  // namespace relationship_type

class Relationships {
  public:
    struct Relationship {
        std::string id;
        std::string type;
        std::string target;     // relative to the source part's folder, or a URI
        bool external = false;  // TargetMode="External"
    };

    Relationships() = default;
    // The part as another program wrote it. RunTimeError (invalid file format) naming
    // `part_name` and the byte offset when it is not a relationships part.
    static Relationships parse(std::string_view xml, std::string_view part_name);

    // Adds an internal relationship under the next free id "rId<n>" and returns the id.
    std::string add(std::string_view type, std::string_view target);
    // Under an id of the caller's, which must not be in use yet (asserted).
    void add_with_id(std::string_view id, std::string_view type, std::string_view target);

    // nullptr when there is none.
    const Relationship* find_id(std::string_view id) const;
    const Relationship* find_type(std::string_view type) const;

    const std::vector<Relationship>& all() const noexcept { return relationships_; }

    // In the order they were added.
    std::string xml() const;

  private:
    std::vector<Relationship> relationships_;
};

}  // namespace ooxml
