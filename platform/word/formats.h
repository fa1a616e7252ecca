// Character and paragraph formatting as Word stores it: only the properties set directly on
// the text (or in a style) are present; the rest come from the style chain and the document
// defaults. Values are held in the units a .docx writes.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace word::detail {

enum class CharProp : std::uint8_t {
    size,        // half points
    color,       // Word colour value
    spacing,     // twips
    position,    // half points
    vert_align,  // VertAlign
    bold,        // 0/1 switches from here to all_caps
    italic,
    strike,
    double_strike,
    outline,
    emboss,
    engrave,
    shadow,
    hidden,
    small_caps,
    all_caps,
    no_grid,          // DisableCharacterSpaceGrid
    underline,        // Word underline kind
    underline_color,  // Word colour value
    scaling,          // percent
    kerning,          // half points
    animation,
    emphasis,
    count
};

enum class FontSlot : std::uint8_t { ascii, other, far_east, bidi, count };

enum VertAlign : std::int32_t { baseline = 0, superscript = 1, subscript = 2 };

struct CharFormat {
    std::array<std::optional<std::int32_t>, static_cast<std::size_t>(CharProp::count)> props;
    std::array<std::optional<std::string>, static_cast<std::size_t>(FontSlot::count)> fonts;

    std::optional<std::int32_t>& operator[](CharProp p) {
        return props[static_cast<std::size_t>(p)];
    }
    const std::optional<std::int32_t>& operator[](CharProp p) const {
        return props[static_cast<std::size_t>(p)];
    }
    std::optional<std::string>& operator[](FontSlot s) {
        return fonts[static_cast<std::size_t>(s)];
    }
    const std::optional<std::string>& operator[](FontSlot s) const {
        return fonts[static_cast<std::size_t>(s)];
    }
    auto operator<=>(const CharFormat&) const = default;
};

enum class ParaProp : std::uint8_t {
    line_rule,         // Word line spacing rule
    line,              // twips (exact / at least) or 240ths of a line (multiples)
    alignment,         // Word paragraph alignment
    left_indent,       // twips
    left_chars,        // hundredths of a character
    word_wrap,         // 0/1
    auto_space_digit,  // 0/1
    auto_space_alpha,  // 0/1
    count
};

struct ParaFormat {
    int style = 0;  // index into the document's styles
    std::array<std::optional<std::int32_t>, static_cast<std::size_t>(ParaProp::count)> props;

    std::optional<std::int32_t>& operator[](ParaProp p) {
        return props[static_cast<std::size_t>(p)];
    }
    const std::optional<std::int32_t>& operator[](ParaProp p) const {
        return props[static_cast<std::size_t>(p)];
    }
    auto operator<=>(const ParaFormat&) const = default;
};

// Changes queued or applied to formatting; applied in order.
using CharChange = std::function<void(CharFormat&)>;
using ParaChange = std::function<void(ParaFormat&)>;

// Equal formats share one number, so runs compare by number.
template <class T>
class Interner {
  public:
    std::uint32_t intern(const T& value) {
        auto [it, added] = index_.try_emplace(value, static_cast<std::uint32_t>(items_.size()));
        if (added) items_.push_back(value);
        return it->second;
    }
    const T& operator[](std::uint32_t id) const { return items_[id]; }
    std::size_t size() const noexcept { return items_.size(); }

  private:
    std::vector<T> items_;
    std::map<T, std::uint32_t> index_;
};

// The document defaults of a Japanese Word (docDefaults): every property present.
CharFormat default_char_format();
ParaFormat default_para_format();

// Word's own rounding of a size in points to half points (1..1638 points, else out of range).
std::int32_t size_to_half_points(float points);
std::int32_t points_to_twips(float points);

}  // namespace word::detail
