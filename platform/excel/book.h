// The opened workbook behind the automation objects: the package it was opened from, the trees of
// the parts being changed, the cell strings being formatted and the sheet selection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/excel/cell_reference.h"
#include "platform/excel/rich_text.h"
#include "platform/excel/shared_strings.h"
#include "platform/excel/sheet_part.h"
#include "platform/excel/style_fonts.h"
#include "platform/excel/workbook_part.h"

namespace ooxml {
class PackageReader;
}

namespace excel::detail {

class Book {
  public:
    explicit Book(std::filesystem::path file);
    ~Book();
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    std::size_t sheet_count() const noexcept { return sheets_.size(); }
    const SheetEntry& sheet(std::size_t index) const { return workbook_->sheets()[index]; }
    bool is_worksheet(std::size_t index) const { return sheets_[index].worksheet; }
    // By name, ASCII letters compared without case.
    std::optional<std::size_t> find_sheet(std::string_view name) const;
    // The sheet index of the n-th worksheet (from 1).
    std::optional<std::size_t> find_worksheet(std::size_t n) const;
    std::size_t worksheet_count() const;

    // What a Font property of a range of characters asks for.
    enum class FontSetting : std::uint8_t { superscript, not_superscript, size, name };
    // The change is kept and applied when the workbook is saved. `value` is the size's text
    // or the font's name.
    void format(std::size_t sheet, CellPosition cell, long long start, long long length,
                FontSetting setting, std::string_view value = {});
    void select_sheet(std::size_t index);
    void select_range(std::size_t sheet, CellPosition first, CellPosition last);
    void save_as(const std::filesystem::path& file, bool display_alerts);

  private:
    struct Sheet {
        std::string part_name;
        bool worksheet = false;
    };
    // Font changes wait until the workbook is saved: each sheet part is then read, changed and
    // written on its own, so that a large workbook is never held as trees all at once. A long
    // report has tens of thousands of them: each is a few bytes, in the order they came.
    struct FontChange {
        std::int32_t row = 0;
        std::int32_t column = 0;
        long long start = 0;
        long long length = 0;
        FontSetting setting = FontSetting::superscript;
        std::uint32_t value = 0;  // in values_
    };
    struct SheetChanges {
        std::vector<FontChange> cells;
        std::optional<std::pair<std::string, CellPosition>> selection;  // sqref, active cell
    };
    void apply(const FontChange& change, RunFont& font) const;
    // The parts a save writes anew, by name.
    using NewParts = std::map<std::string, std::string, std::less<>>;

    bool has_part(std::string_view part_name) const;
    std::string bytes_of(const std::string& part_name) const;
    std::string part_name_of(std::string_view source_part, std::string_view target) const;
    std::unique_ptr<XmlPart> load_xml(const std::string& part_name, std::string_view root) const;
    const StyleFonts& fonts();
    // How many cells show each shared string, over every worksheet.
    std::vector<std::size_t> shared_string_uses(std::size_t items) const;
    void change_cells(SheetPart& sheet, std::size_t index, const SheetChanges& changes,
                      SharedStrings* strings, std::vector<std::size_t>& uses);
    // The sheet's part with its changes and selection, or nothing when they change nothing.
    std::optional<std::string> changed_sheet(std::size_t index, SharedStrings* strings,
                                             std::vector<std::size_t>& uses);

    std::filesystem::path file_;
    // The package the workbook was opened from stays open until the workbook is closed: a part
    // is read from it when it is needed, and a save copies the parts nothing changed from it as
    // they are stored there. After a save the package just written takes its place.
    std::filesystem::path source_file_;
    std::unique_ptr<ooxml::PackageReader> source_;
    std::vector<std::string> part_order_;
    std::string workbook_name_;
    std::unique_ptr<WorkbookPart> workbook_;
    std::vector<Sheet> sheets_;
    std::string shared_strings_name_;
    std::string styles_name_;
    std::optional<StyleFonts> fonts_;
    std::unique_ptr<XmlPart> styles_;
    std::map<std::size_t, SheetChanges> changes_;
    // The sizes and font names the changes set, each once.
    std::vector<std::string> values_;
    std::map<std::string, std::uint32_t, std::less<>> value_index_;
    std::size_t active_sheet_ = 0;
    bool selection_changed_ = false;
};

}  // namespace excel::detail
