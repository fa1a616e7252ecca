#include "platform/excel/sheet_part.h"

#include <charconv>
#include <string>

namespace excel::detail {

namespace {

std::uint64_t key_of(CellPosition position) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(position.row)) << 32) |
           static_cast<std::uint32_t>(position.column);
}

std::int32_t number_attribute(pugi::xml_node node, const char* name, std::int32_t fallback) {
    const std::string_view text = node.attribute(name).value();
    std::int32_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && ptr == text.data() + text.size() ? value : fallback;
}

}  // namespace

/* ---------------------------------------------------------------- SheetPart */
SheetPart::SheetPart(std::unique_ptr<XmlPart> part) : part_(std::move(part)) {}

/* ---------------------------------------------------------------- SheetPart::index_cells */
void SheetPart::index_cells() {
    if (indexed_) return;
    indexed_ = true;
    const pugi::xml_node data = child_named(part_->root(), "sheetData");
    std::int32_t row_number = 0;
    for (const pugi::xml_node row : data.children()) {
        if (local_name(row) != "row") continue;
        row_number = number_attribute(row, "r", row_number + 1);
        std::int32_t column = 0;
        for (const pugi::xml_node c : row.children()) {
            if (local_name(c) != "c") continue;
            const std::optional<CellPosition> at = parse_cell_reference(c.attribute("r").value());
            column = at ? at->column : column + 1;
            cells_.emplace(key_of(CellPosition{at ? at->row : row_number, column}), c);
        }
    }
}

/* ---------------------------------------------------------------- SheetPart::cell */
pugi::xml_node SheetPart::cell(CellPosition position) {
    index_cells();
    const auto it = cells_.find(key_of(position));
    return it == cells_.end() ? pugi::xml_node() : it->second;
}

/* ---------------------------------------------------------------- SheetPart::view */
pugi::xml_node SheetPart::view(bool create) {
    pugi::xml_node root = part_->root();
    pugi::xml_node views = child_named(root, "sheetViews");
    if (!views && create) {
        // sheetViews follows sheetPr and dimension, when they are there.
        pugi::xml_node after;
        for (const pugi::xml_node child : root.children()) {
            if (child.type() != pugi::node_element) continue;
            const std::string_view name = local_name(child);
            if (name != "sheetPr" && name != "dimension") break;
            after = child;
        }
        const std::string name = prefixed(root, "sheetViews");
        views =
            after ? root.insert_child_after(name.c_str(), after) : root.prepend_child(name.c_str());
    }
    if (!views) return {};
    pugi::xml_node sheet_view = child_named(views, "sheetView");
    if (!sheet_view && create) {
        sheet_view = views.append_child(prefixed(views, "sheetView").c_str());
        sheet_view.append_attribute("workbookViewId") = "0";
    }
    return sheet_view;
}

/* ---------------------------------------------------------------- SheetPart::tab_selected */
bool SheetPart::tab_selected() const {
    const pugi::xml_node sheet_view =
        child_named(child_named(part_->root(), "sheetViews"), "sheetView");
    const std::string_view value = sheet_view.attribute("tabSelected").value();
    return value == "1" || value == "true";
}

/* ---------------------------------------------------------------- SheetPart::set_tab_selected */
void SheetPart::set_tab_selected(bool selected) {
    if (tab_selected() == selected) return;
    pugi::xml_node sheet_view = view(selected);
    if (selected) {
        pugi::xml_attribute flag = sheet_view.attribute("tabSelected");
        if (!flag) flag = sheet_view.prepend_attribute("tabSelected");
        flag = "1";
    } else {
        sheet_view.remove_attribute("tabSelected");
    }
    part_->touch(sheet_view);
}

/* ---------------------------------------------------------------- SheetPart::select */
void SheetPart::select(std::string_view sqref, CellPosition active) {
    pugi::xml_node sheet_view = view(true);
    const std::string active_cell = cell_reference(active);
    const std::string range(sqref);
    bool changed = false;
    const auto drop = [&](pugi::xml_node node, const char* name) {
        changed = node.remove_attribute(name) || changed;
    };
    const auto assign = [&](pugi::xml_node node, const char* name, const std::string& value) {
        pugi::xml_attribute attribute = node.attribute(name);
        if (attribute && value == attribute.value()) return;
        if (!attribute) attribute = node.append_attribute(name);
        attribute = value.c_str();
        changed = true;
    };
    const pugi::xml_node pane = child_named(sheet_view, "pane");
    if (!pane) drop(sheet_view, "topLeftCell");
    bool found = false;
    for (pugi::xml_node selection : sheet_view.children()) {
        if (local_name(selection) != "selection") continue;
        found = true;
        drop(selection, "activeCellId");
        assign(selection, "activeCell", active_cell);
        assign(selection, "sqref", range);
    }
    if (!found) {
        const std::string name = prefixed(sheet_view, "selection");
        pugi::xml_node selection = pane ? sheet_view.insert_child_after(name.c_str(), pane)
                                        : sheet_view.prepend_child(name.c_str());
        if (pane && pane.attribute("activePane")) {
            selection.append_attribute("pane") = pane.attribute("activePane").value();
        }
        assign(selection, "activeCell", active_cell);
        assign(selection, "sqref", range);
    }
    if (changed) part_->touch(sheet_view);
}

}  // namespace excel::detail
