// One XML part of the opened workbook, held as a tree while the stand-in changes it. A part
// that nothing changed is written back with its original bytes, and a part changed in a few
// elements keeps the bytes of the rest.
#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace excel::detail {

class XmlPart {
  public:
    // Not a workbook (naming the part and the byte offset) when the bytes are not well-formed
    // XML or the root element is not `root`.
    XmlPart(std::string bytes, std::string name, std::string_view root,
            const std::filesystem::path& file);
    XmlPart(const XmlPart&) = delete;
    XmlPart& operator=(const XmlPart&) = delete;

    pugi::xml_node root() const { return document_.document_element(); }
    const std::string& name() const noexcept { return name_; }

    // The part changed anywhere: it is written whole from the tree.
    void touch() noexcept { whole_ = true; }
    // Only `element`, read from the part, and what lies inside it changed.
    void touch(pugi::xml_node element) { changed_elements_.push_back(element); }
    bool changed() const noexcept { return whole_ || !changed_elements_.empty(); }
    std::string xml() const;

  private:
    std::string bytes_;
    pugi::xml_document document_;
    std::string name_;
    bool whole_ = false;
    std::vector<pugi::xml_node> changed_elements_;
};

// The element name without its namespace prefix.
std::string_view local_name(pugi::xml_node node);
// The first child element with this local name.
pugi::xml_node child_named(pugi::xml_node parent, std::string_view name);
// `local` with the namespace prefix that `like` carries, for elements added beside or below it.
std::string prefixed(pugi::xml_node like, std::string_view local);

}  // namespace excel::detail
