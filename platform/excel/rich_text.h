// The string of a text cell as runs of characters that share one font: what a shared-string
// item (<si>) or an inline string (<is>) holds. Characters are counted in UTF-16 units, as
// Excel counts them; a surrogate pair is never split between two runs.
#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace excel::detail {

// One child of a run's font (<rPr>) or of a font of the styles part: <b/>, <sz val="11"/>, ...
struct FontProperty {
    std::string element;
    std::vector<std::pair<std::string, std::string>> attributes;

    friend bool operator==(const FontProperty&, const FontProperty&) = default;
};

// A run's font, its properties in their order. A run without one shows the cell's font.
class RunFont {
  public:
    RunFont() = default;
    // A <font> of the styles part turned into run properties: its <name> becomes <rFont>.
    static RunFont from_style_font(pugi::xml_node font);
    static RunFont from_run_properties(pugi::xml_node rpr);

    // Sets the property's "val", appending it when the font lacks it.
    void set(std::string_view element, std::string_view value);
    void remove(std::string_view element);
    const FontProperty* find(std::string_view element) const;

    void write(pugi::xml_node rpr) const;

    const std::vector<FontProperty>& properties() const noexcept { return properties_; }
    friend bool operator==(const RunFont&, const RunFont&) = default;

  private:
    std::vector<FontProperty> properties_;
};

struct TextRun {
    std::u16string text;
    std::optional<RunFont> font;

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

class RichText {
  public:
    RichText() = default;
    explicit RichText(std::u16string plain);
    // The <t> and <r> children of a <si> or <is>; phonetic runs are left where they are.
    static RichText read(pugi::xml_node string_item);
    // Replaces the <t> and <r> children, keeping phonetic runs and their properties after them.
    void write(pugi::xml_node string_item) const;

    std::size_t length() const noexcept;
    std::u16string plain() const;
    const std::vector<TextRun>& runs() const noexcept { return runs_; }

    // Changes the font of `length` characters from 1-based `start`, the part that lies inside
    // the text. Characters without a font of their own start from `cell_font`. Neighbouring
    // runs that end up alike are joined.
    template <class Change>
    void format(long long start, long long length, const RunFont& cell_font, Change&& change) {
        std::size_t from = 0;
        std::size_t to = 0;
        if (!split_range(start, length, from, to)) return;
        for (std::size_t i = from; i < to; ++i) {
            if (!runs_[i].font) runs_[i].font = cell_font;
            change(*runs_[i].font);
        }
        join_alike();
    }

  private:
    // Splits runs at the range's ends; [from, to) are then the runs inside it.
    bool split_range(long long start, long long length, std::size_t& from, std::size_t& to);
    void split_at(std::size_t unit);
    void join_alike();

    std::vector<TextRun> runs_;
};

}  // namespace excel::detail
