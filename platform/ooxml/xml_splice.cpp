#include "platform/ooxml/xml_splice.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "base/unicode.h"
#include "platform/ooxml/copy_xml.h"
#include "platform/ooxml/xml_writer.h"

namespace ooxml {

namespace {

constexpr std::size_t none = std::string_view::npos;

// Whether every character is one the writer would write as it is.
bool characters_as_written(std::string_view source) {
    for (std::size_t i = 0; i < source.size();) {
        const auto byte = static_cast<unsigned char>(source[i]);
        if (byte < 0x80) {
            if (xml_forbidden(byte)) return false;
            ++i;
            continue;
        }
        const std::size_t at = i;
        const char32_t c = unicode::decode_utf8(source, i);
        // A real U+FFFD is three bytes; a malformed sequence gives it for one.
        if ((c == unicode::replacement_character && i - at != 3) || xml_forbidden(c)) return false;
    }
    return true;
}

// The length of the reference at `at` (an ampersand), or 0 when it is not one that XML defines
// or it stands for a character XML cannot carry.
std::size_t reference_length(std::string_view source, std::size_t at) {
    const std::size_t semicolon = source.find(';', at);
    if (semicolon == none || semicolon - at > 12) return 0;
    const std::string_view name = source.substr(at + 1, semicolon - at - 1);
    if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") {
        return name.size() + 2;
    }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    char32_t value = 0;
    for (const char d : digits) {
        int digit = -1;
        if (d >= '0' && d <= '9') digit = d - '0';
        if (hex && d >= 'a' && d <= 'f') digit = d - 'a' + 10;
        if (hex && d >= 'A' && d <= 'F') digit = d - 'A' + 10;
        if (digit < 0) return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) return 0;
    }
    if (xml_forbidden(value) || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return name.size() + 2;
}

// Walks the markup once: checks that it holds nothing the writer would write otherwise, and
// finds where each element starting at `begins` (sorted) ends. False when a check fails or an
// element is not found.
bool find_ends(std::string_view source, const std::vector<std::size_t>& begins,
               std::vector<std::size_t>& ends) {
    ends.assign(begins.size(), none);
    std::vector<std::size_t> open;  // for each open element, its index in begins, or none
    std::size_t next = 0;
    const std::size_t n = source.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = source[i];
        if (c == '&') {
            const std::size_t length = reference_length(source, i);
            if (length == 0) return false;
            i += length;
            continue;
        }
        if (c == ']' && source.substr(i, 3) == "]]>") return false;
        if (c != '<') {
            ++i;
            continue;
        }
        if (i + 1 >= n || source[i + 1] == '!') return false;
        if (source[i + 1] == '?') {
            const std::size_t close = source.find("?>", i + 2);
            if (close == none) return false;
            i = close + 2;
            continue;
        }
        if (source[i + 1] == '/') {
            const std::size_t close = source.find('>', i);
            if (close == none || open.empty()) return false;
            if (open.back() != none) ends[open.back()] = close + 1;
            open.pop_back();
            i = close + 1;
            continue;
        }
        const std::size_t tracked = next < begins.size() && begins[next] == i ? next++ : none;
        std::size_t j = i + 1;
        char quote = 0;
        for (; j < n; ++j) {
            const char t = source[j];
            if (quote != 0) {
                if (t == quote) {
                    quote = 0;
                } else if (t == '<') {
                    return false;
                } else if (t == '&') {
                    const std::size_t length = reference_length(source, j);
                    if (length == 0) return false;
                    j += length - 1;
                }
            } else if (t == '"' || t == '\'') {
                quote = t;
            } else if (t == '>') {
                break;
            }
        }
        if (j >= n) return false;
        if (source[j - 1] == '/') {
            if (tracked != none) ends[tracked] = j + 1;
        } else {
            open.push_back(tracked);
        }
        i = j + 1;
    }
    return next == begins.size() &&
           std::none_of(ends.begin(), ends.end(), [](std::size_t end) { return end == none; });
}

}  // namespace

/* ---------------------------------------------------------------- splice_changed_elements */
std::optional<std::string> splice_changed_elements(std::string_view source,
                                                   const std::vector<pugi::xml_node>& changed) {
    struct Place {
        std::size_t begin;
        pugi::xml_node element;
    };
    std::vector<Place> places;
    for (const pugi::xml_node element : changed) {
        // pugixml tells where an element's name starts in the buffer it parsed.
        const std::ptrdiff_t name_at =
            element.type() == pugi::node_element ? element.offset_debug() : -1;
        if (name_at < 1) return std::nullopt;
        const auto begin = static_cast<std::size_t>(name_at) - 1;
        const std::string_view name = element.name();
        if (begin + 1 + name.size() > source.size() || source[begin] != '<' ||
            source.substr(begin + 1, name.size()) != name) {
            return std::nullopt;
        }
        places.push_back({begin, element});
    }
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return a.begin < b.begin; });
    places.erase(std::unique(places.begin(), places.end(),
                             [](const Place& a, const Place& b) { return a.begin == b.begin; }),
                 places.end());
    std::vector<std::size_t> begins;
    begins.reserve(places.size());
    for (const Place& p : places) begins.push_back(p.begin);
    std::vector<std::size_t> ends;
    if (!characters_as_written(source) || !find_ends(source, begins, ends)) return std::nullopt;

    std::string out;
    out.reserve(source.size() + source.size() / 8);
    std::size_t copied = 0;
    for (std::size_t k = 0; k < places.size(); ++k) {
        // An element inside one written anew is written with it.
        if (places[k].begin < copied) continue;
        out.append(source.substr(copied, places[k].begin - copied));
        out += xml_fragment(places[k].element);
        copied = ends[k];
    }
    out.append(source.substr(copied));
    return out;
}

}  // namespace ooxml
