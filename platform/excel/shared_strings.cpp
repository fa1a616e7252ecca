#include "platform/excel/shared_strings.h"

#include <charconv>
#include <string>
#include <string_view>

namespace excel::detail {

/* ---------------------------------------------------------------- SharedStrings */
SharedStrings::SharedStrings(std::unique_ptr<XmlPart> part) : part_(std::move(part)) {
    for (const pugi::xml_node child : part_->root().children()) {
        if (local_name(child) == "si") items_.push_back(child);
    }
}

/* ---------------------------------------------------------------- SharedStrings::item */
pugi::xml_node SharedStrings::item(std::size_t index) const {
    return index < items_.size() ? items_[index] : pugi::xml_node();
}

/* ---------------------------------------------------------------- SharedStrings::append */
std::size_t SharedStrings::append() {
    pugi::xml_node root = part_->root();
    items_.push_back(root.append_child(prefixed(root, "si").c_str()));
    const std::string unique = std::to_string(items_.size());
    pugi::xml_attribute count = root.attribute("uniqueCount");
    if (!count) count = root.append_attribute("uniqueCount");
    count = unique.c_str();
    part_->touch();
    return items_.size() - 1;
}

/* ---------------------------------------------------------------- shared_string_index */
std::optional<std::size_t> shared_string_index(pugi::xml_node cell) {
    if (std::string_view(cell.attribute("t").value()) != "s") return std::nullopt;
    std::string_view text = child_named(cell, "v").text().get();
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
    std::size_t index = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
    return index;
}

}  // namespace excel::detail
