#include "platform/excel/rich_text.h"

#include <algorithm>
#include <cstring>

#include "base/unicode.h"
#include "platform/excel/xml_part.h"

namespace excel::detail {

namespace {

FontProperty property_of(pugi::xml_node node, std::string_view element) {
    FontProperty property{std::string(element), {}};
    for (const pugi::xml_attribute attribute : node.attributes()) {
        property.attributes.emplace_back(attribute.name(), attribute.value());
    }
    return property;
}

// The text of a <t>; pugixml keeps it as PCDATA (or CDATA) children.
std::u16string text_of(pugi::xml_node t) {
    return unicode::utf8_to_utf16(t.text().get());
}

bool needs_preserve(std::u16string_view text) {
    if (text.empty()) return false;
    const auto blank = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
    };
    return blank(text.front()) || blank(text.back());
}

void write_text(pugi::xml_node parent, pugi::xml_node before, std::u16string_view text) {
    const std::string name = prefixed(parent, "t");
    pugi::xml_node t = before ? parent.insert_child_before(name.c_str(), before)
                              : parent.append_child(name.c_str());
    if (needs_preserve(text)) t.append_attribute("xml:space") = "preserve";
    t.text().set(unicode::utf16_to_utf8(text).c_str());
}

}  // namespace

/* ---------------------------------------------------------------- RunFont::from_style_font */
RunFont RunFont::from_style_font(pugi::xml_node font) {
    RunFont result;
    for (const pugi::xml_node child : font.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = local_name(child);
        result.properties_.push_back(property_of(child, name == "name" ? "rFont" : name));
    }
    return result;
}

/* ---------------------------------------------------------------- RunFont::from_run_properties */
RunFont RunFont::from_run_properties(pugi::xml_node rpr) {
    RunFont result;
    for (const pugi::xml_node child : rpr.children()) {
        if (child.type() == pugi::node_element) {
            result.properties_.push_back(property_of(child, local_name(child)));
        }
    }
    return result;
}

/* ---------------------------------------------------------------- RunFont::set */
void RunFont::set(std::string_view element, std::string_view value) {
    auto it = std::find_if(properties_.begin(), properties_.end(),
                           [&](const FontProperty& p) { return p.element == element; });
    if (it == properties_.end()) {
        properties_.push_back(FontProperty{std::string(element), {}});
        it = properties_.end() - 1;
    }
    it->attributes.assign(1, {"val", std::string(value)});
}

/* ---------------------------------------------------------------- RunFont::remove */
void RunFont::remove(std::string_view element) {
    std::erase_if(properties_, [&](const FontProperty& p) { return p.element == element; });
}

/* ---------------------------------------------------------------- RunFont::find */
const FontProperty* RunFont::find(std::string_view element) const {
    for (const FontProperty& property : properties_) {
        if (property.element == element) return &property;
    }
    return nullptr;
}

/* ---------------------------------------------------------------- RunFont::write */
void RunFont::write(pugi::xml_node rpr) const {
    for (const FontProperty& property : properties_) {
        pugi::xml_node child = rpr.append_child(prefixed(rpr, property.element).c_str());
        for (const auto& [name, value] : property.attributes) {
            child.append_attribute(name.c_str()) = value.c_str();
        }
    }
}

/* ---------------------------------------------------------------- RichText */
RichText::RichText(std::u16string plain) {
    if (!plain.empty()) runs_.push_back(TextRun{std::move(plain), std::nullopt});
}

/* ---------------------------------------------------------------- RichText::read */
RichText RichText::read(pugi::xml_node string_item) {
    RichText result;
    for (const pugi::xml_node child : string_item.children()) {
        const std::string_view name = local_name(child);
        if (name == "t") {
            result.runs_.push_back(TextRun{text_of(child), std::nullopt});
        } else if (name == "r") {
            TextRun run;
            for (const pugi::xml_node part : child.children()) {
                const std::string_view part_name = local_name(part);
                if (part_name == "rPr") run.font = RunFont::from_run_properties(part);
                if (part_name == "t") run.text += text_of(part);
            }
            result.runs_.push_back(std::move(run));
        }
    }
    std::erase_if(result.runs_, [](const TextRun& run) { return run.text.empty(); });
    return result;
}

/* ---------------------------------------------------------------- RichText::write */
void RichText::write(pugi::xml_node string_item) const {
    for (pugi::xml_node child = string_item.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        const std::string_view name = local_name(child);
        if (name == "t" || name == "r" || child.type() != pugi::node_element) {
            string_item.remove_child(child);
        }
        child = next;
    }
    const pugi::xml_node before = string_item.first_child();
    if (runs_.empty() || (runs_.size() == 1 && !runs_.front().font)) {
        write_text(string_item, before, runs_.empty() ? std::u16string_view() : runs_.front().text);
        return;
    }
    for (const TextRun& run : runs_) {
        const std::string r_name = prefixed(string_item, "r");
        pugi::xml_node r = before ? string_item.insert_child_before(r_name.c_str(), before)
                                  : string_item.append_child(r_name.c_str());
        if (run.font) run.font->write(r.append_child(prefixed(string_item, "rPr").c_str()));
        write_text(r, pugi::xml_node(), run.text);
    }
}

/* ---------------------------------------------------------------- RichText::length */
std::size_t RichText::length() const noexcept {
    std::size_t total = 0;
    for (const TextRun& run : runs_) total += run.text.size();
    return total;
}

/* ---------------------------------------------------------------- RichText::plain */
std::u16string RichText::plain() const {
    std::u16string text;
    for (const TextRun& run : runs_) text += run.text;
    return text;
}

/* ---------------------------------------------------------------- RichText::split_at */
void RichText::split_at(std::size_t unit) {
    std::size_t run_start = 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const std::size_t size = runs_[i].text.size();
        if (unit > run_start && unit < run_start + size) {
            TextRun tail{runs_[i].text.substr(unit - run_start), runs_[i].font};
            runs_[i].text.resize(unit - run_start);
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return;
        }
        run_start += size;
    }
}

/* ---------------------------------------------------------------- RichText::split_range */
bool RichText::split_range(long long start, long long length, std::size_t& from, std::size_t& to) {
    const long long total = static_cast<long long>(this->length());
    const long long first = std::max(start, 1LL) - 1;
    const long long end = std::min(start - 1 + std::max(length, 0LL), total);
    if (first >= end) return false;
    const std::u16string text = plain();
    // A range end inside a surrogate pair takes in the whole pair.
    const auto inside_pair = [&](long long unit) {
        return unit > 0 && unit < total &&
               unicode::is_low_surrogate(text[static_cast<std::size_t>(unit)]) &&
               unicode::is_high_surrogate(text[static_cast<std::size_t>(unit - 1)]);
    };
    const std::size_t first_unit = static_cast<std::size_t>(inside_pair(first) ? first - 1 : first);
    const std::size_t end_unit = static_cast<std::size_t>(inside_pair(end) ? end + 1 : end);
    if (first_unit >= end_unit) return false;
    split_at(first_unit);
    split_at(end_unit);
    std::size_t run_start = 0;
    from = runs_.size();
    to = runs_.size();
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        if (run_start == first_unit) from = i;
        run_start += runs_[i].text.size();
        if (run_start == end_unit) {
            to = i + 1;
            break;
        }
    }
    return from < to;
}

/* ---------------------------------------------------------------- RichText::join_alike */
void RichText::join_alike() {
    std::vector<TextRun> joined;
    joined.reserve(runs_.size());
    for (TextRun& run : runs_) {
        if (!joined.empty() && joined.back().font == run.font) {
            joined.back().text += run.text;
        } else {
            joined.push_back(std::move(run));
        }
    }
    runs_ = std::move(joined);
}

}  // namespace excel::detail
