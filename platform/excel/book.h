// The opened workbook behind the automation objects: the package's parts, the trees of the
// parts being changed, the cell strings being formatted and the sheet selection.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/excel/cell_reference.h"
#include "platform/excel/rich_text.h"
#include "platform/excel/shared_strings.h"
#include "platform/excel/sheet_part.h"
#include "platform/excel/style_fonts.h"
#include "platform/excel/workbook_part.h"

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

    void format(std::size_t sheet, CellPosition cell, long long start, long long length,
                const std::function<void(RunFont&)>& change);
    void select_sheet(std::size_t index);
    void select_range(std::size_t sheet, CellPosition first, CellPosition last);
    void save_as(const std::filesystem::path& file, bool display_alerts);

  private:
    struct Sheet {
        std::string part_name;
        bool worksheet = false;
        std::unique_ptr<SheetPart> part;  // loaded when first needed
    };
    struct EditedCell {
        std::size_t sheet = 0;
        pugi::xml_node cell;
        RichText original;
        RichText text;
    };
    using CellKey = std::tuple<std::size_t, std::int32_t, std::int32_t>;

    const std::string& bytes_of(const std::string& part_name) const;
    std::string part_name_of(std::string_view source_part, std::string_view target) const;
    std::unique_ptr<XmlPart> load_xml(const std::string& part_name, std::string_view root) const;
    SheetPart& sheet_part(std::size_t index);
    SharedStrings& shared_strings();
    const StyleFonts& fonts();
    EditedCell* edited_cell(std::size_t sheet, CellPosition cell);
    void write_edited_cells();

    std::filesystem::path file_;
    std::vector<std::string> part_order_;
    std::map<std::string, std::string, std::less<>> parts_;
    std::unique_ptr<WorkbookPart> workbook_;
    std::vector<Sheet> sheets_;
    std::string shared_strings_name_;
    std::string styles_name_;
    std::unique_ptr<SharedStrings> shared_strings_;
    std::optional<StyleFonts> fonts_;
    std::unique_ptr<XmlPart> styles_;
    std::map<CellKey, EditedCell> edited_;
    std::size_t active_sheet_ = 0;
    bool selection_changed_ = false;
};

}  // namespace excel::detail
