// One XML part of the opened workbook, held as a tree while the stand-in changes it. A part
// that nothing changed is written back with its original bytes.
#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace excel::detail {

class XmlPart {
  public:
    // Not a workbook (naming the part and the byte offset) when the bytes are not well-formed
    // XML or the root element is not `root`.
    XmlPart(std::string_view bytes, std::string name, std::string_view root,
            const std::filesystem::path& file);
    XmlPart(const XmlPart&) = delete;
    XmlPart& operator=(const XmlPart&) = delete;

    pugi::xml_node root() const { return document_.document_element(); }
    const std::string& name() const noexcept { return name_; }

    void touch() noexcept { changed_ = true; }
    bool changed() const noexcept { return changed_; }
    std::string xml() const;

  private:
    pugi::xml_document document_;
    std::string name_;
    bool changed_ = false;
};

// The element name without its namespace prefix.
std::string_view local_name(pugi::xml_node node);
// The first child element with this local name.
pugi::xml_node child_named(pugi::xml_node parent, std::string_view name);
// `local` with the namespace prefix that `like` carries, for elements added beside or below it.
std::string prefixed(pugi::xml_node like, std::string_view local);

}  // namespace excel::detail
