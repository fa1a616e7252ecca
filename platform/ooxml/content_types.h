// [Content_Types].xml: the content type of every part, by extension (Default) or by part name
// (Override).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ooxml {

class ContentTypes {
  public:
    struct Default {
        std::string extension;  // without the dot, compared without regard to case
        std::string content_type;
    };
    struct Override {
        std::string part_name;  // absolute: "/word/document.xml"
        std::string content_type;
    };

    // Empty; most packages start from with_package_defaults().
    ContentTypes() = default;
    // The two defaults every package needs: "rels" and "xml".
    static ContentTypes with_package_defaults();
    // The part as another program wrote it. RunTimeError (invalid file format) naming
    // `part_name` and the byte offset when it is not a content-types part.
    static ContentTypes parse(std::string_view xml,
                              std::string_view part_name = "[Content_Types].xml");

    // An extension or part name already there keeps its place and takes the new type.
    void add_default(std::string_view extension, std::string_view content_type);
    void add_override(std::string_view part_name, std::string_view content_type);
    // False when there was no such override.
    bool remove_override(std::string_view part_name);

    // The type a part gets: its override, else the default of its extension.
    std::optional<std::string> content_type(std::string_view part_name) const;

    const std::vector<Default>& defaults() const noexcept { return defaults_; }
    const std::vector<Override>& overrides() const noexcept { return overrides_; }

    // Defaults, then overrides, each in the order they were added.
    std::string xml() const;

  private:
    std::vector<Default> defaults_;
    std::vector<Override> overrides_;
};

}  // namespace ooxml
