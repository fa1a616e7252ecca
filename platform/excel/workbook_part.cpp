#include "platform/excel/workbook_part.h"

#include <string_view>

namespace excel::detail {

namespace {

// r:id under whatever prefix the part binds the relationships namespace to.
std::string relationship_id(pugi::xml_node sheet) {
    constexpr std::string_view relationships =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    for (const pugi::xml_attribute attribute : sheet.attributes()) {
        const std::string_view name = attribute.name();
        const std::size_t colon = name.find(':');
        if (colon == std::string_view::npos || name.substr(colon + 1) != "id") continue;
        const std::string declaration = "xmlns:" + std::string(name.substr(0, colon));
        for (pugi::xml_node scope = sheet; scope; scope = scope.parent()) {
            const pugi::xml_attribute ns = scope.attribute(declaration.c_str());
            if (ns) {
                if (relationships == ns.value()) return attribute.value();
                break;
            }
        }
    }
    return {};
}

}  // namespace

/* ---------------------------------------------------------------- WorkbookPart */
WorkbookPart::WorkbookPart(std::unique_ptr<XmlPart> part) : part_(std::move(part)) {
    for (const pugi::xml_node sheet : child_named(part_->root(), "sheets").children()) {
        if (local_name(sheet) != "sheet") continue;
        const std::string_view state = sheet.attribute("state").value();
        sheets_.push_back(SheetEntry{sheet.attribute("name").value(), relationship_id(sheet),
                                     state.empty() || state == "visible"});
    }
}

/* ---------------------------------------------------------------- WorkbookPart::active_tab */
std::size_t WorkbookPart::active_tab() const {
    const pugi::xml_node view =
        child_named(child_named(part_->root(), "bookViews"), "workbookView");
    const unsigned tab = view.attribute("activeTab").as_uint(0);
    return tab < sheets_.size() ? tab : 0;
}

/* ---------------------------------------------------------------- WorkbookPart::set_active_tab */
void WorkbookPart::set_active_tab(std::size_t index) {
    pugi::xml_node root = part_->root();
    pugi::xml_node views = child_named(root, "bookViews");
    pugi::xml_node view = child_named(views, "workbookView");
    if (view.attribute("activeTab").as_ullong(0) == index) return;
    if (!views) {
        const pugi::xml_node sheets = child_named(root, "sheets");
        views = root.insert_child_before(prefixed(root, "bookViews").c_str(), sheets);
    }
    if (!view) view = views.append_child(prefixed(views, "workbookView").c_str());
    const std::string value = std::to_string(index);
    pugi::xml_attribute tab = view.attribute("activeTab");
    if (!tab) tab = view.append_attribute("activeTab");
    tab = value.c_str();
    // The tab bar starts at or before the active tab.
    pugi::xml_attribute first = view.attribute("firstSheet");
    if (first && first.as_ullong(0) > index) first = value.c_str();
    part_->touch();
}

}  // namespace excel::detail
