// The workbook part (xl/workbook.xml): the sheets in tab order and the tab that is active.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/excel/xml_part.h"

namespace excel::detail {

struct SheetEntry {
    std::string name;             // UTF-8
    std::string relationship_id;  // r:id, to the sheet's part
    bool visible = true;          // state absent or "visible"
};

class WorkbookPart {
  public:
    explicit WorkbookPart(std::unique_ptr<XmlPart> part);

    XmlPart& part() noexcept { return *part_; }
    const std::vector<SheetEntry>& sheets() const noexcept { return sheets_; }

    // Index into sheets() of the active tab (0 when the part names none or one out of range).
    std::size_t active_tab() const;
    // Marks the part changed only when the tab changes.
    void set_active_tab(std::size_t index);

  private:
    std::unique_ptr<XmlPart> part_;
    std::vector<SheetEntry> sheets_;
};

}  // namespace excel::detail
