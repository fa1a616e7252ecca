// The shared-string table (xl/sharedStrings.xml): the items text cells point at by index.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <vector>

#include "platform/excel/xml_part.h"

namespace excel::detail {

class SharedStrings {
  public:
    explicit SharedStrings(std::unique_ptr<XmlPart> part);

    XmlPart& part() noexcept { return *part_; }
    std::size_t size() const noexcept { return items_.size(); }
    // A null node for an index outside the table.
    pugi::xml_node item(std::size_t index) const;
    // A new, empty item at the end of the table; returns its index.
    std::size_t append();

  private:
    std::unique_ptr<XmlPart> part_;
    std::vector<pugi::xml_node> items_;
};

// The index a shared-string cell's <v> holds, if it is one.
std::optional<std::size_t> shared_string_index(pugi::xml_node cell);

}  // namespace excel::detail
