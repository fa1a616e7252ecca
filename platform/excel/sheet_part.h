// A sheet part (worksheet or chart sheet): its cells by position, its tab selection and the
// selected range of its view.
#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string_view>
#include <unordered_map>

#include "platform/excel/cell_reference.h"
#include "platform/excel/xml_part.h"

namespace excel::detail {

class SheetPart {
  public:
    explicit SheetPart(std::unique_ptr<XmlPart> part);

    XmlPart& part() noexcept { return *part_; }

    // The <c> element at the position, or a null node for a cell the part does not hold.
    pugi::xml_node cell(CellPosition position);

    // Calls `visit` with every <c> that holds a shared string.
    template <class Visit>
    void for_each_shared_string_cell(Visit&& visit) {
        index_cells();
        for (const auto& [key, node] : cells_) {
            if (std::string_view(node.attribute("t").value()) == "s") visit(node);
        }
    }

    bool tab_selected() const;
    // Marks the part changed only when the flag changes.
    void set_tab_selected(bool selected);
    // The view's selection becomes `sqref` with `active` as its active cell; a view scrolled
    // away from the range is scrolled back to the sheet's top left corner.
    void select(std::string_view sqref, CellPosition active);

  private:
    void index_cells();
    pugi::xml_node view(bool create);

    std::unique_ptr<XmlPart> part_;
    std::unordered_map<std::uint64_t, pugi::xml_node> cells_;
    bool indexed_ = false;
};

}  // namespace excel::detail
