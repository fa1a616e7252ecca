#include "platform/excel/book.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "platform/excel/excel_errors.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/package_writer.h"
#include "platform/ooxml/relationships.h"

namespace excel::detail {

namespace {

std::string folder_of(std::string_view part_name) {
    const std::size_t slash = part_name.rfind('/');
    return slash == std::string_view::npos ? std::string()
                                           : std::string(part_name.substr(0, slash + 1));
}

// "xl/" + "worksheets/../sheet1.xml" -> "xl/sheet1.xml"; a target from the root drops its "/".
std::string resolve(std::string_view folder, std::string_view target) {
    std::string joined = target.starts_with('/') ? std::string(target.substr(1))
                                                 : std::string(folder) + std::string(target);
    std::vector<std::string> segments;
    std::size_t pos = 0;
    while (pos <= joined.size()) {
        std::size_t slash = joined.find('/', pos);
        if (slash == std::string::npos) slash = joined.size();
        const std::string segment = joined.substr(pos, slash - pos);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        pos = slash + 1;
    }
    std::string name;
    for (const std::string& segment : segments) {
        if (!name.empty()) name.push_back('/');
        name += segment;
    }
    return name;
}

std::string relationships_name_of(std::string_view part_name) {
    const std::size_t slash = part_name.rfind('/');
    const std::size_t base = slash == std::string_view::npos ? 0 : slash + 1;
    return std::string(part_name.substr(0, base)) + "_rels/" + std::string(part_name.substr(base)) +
           ".rels";
}

bool same_ignoring_ascii_case(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

/* ---------------------------------------------------------------- Book */
Book::Book(std::filesystem::path file) : file_(std::move(file)), source_file_(file_) {
    if (base::path_kind(file_) != base::PathKind::file) workbook_not_found(file_);
    try {
        source_ = std::make_unique<ooxml::PackageReader>(file_);
    } catch (const base::RunTimeError& e) {
        not_a_workbook(file_, e.what());
    }
    for (const std::string& name : source_->part_names()) {
        if (!name.empty() && name.back() != '/') part_order_.push_back(name);
    }

    const std::string root_rels = "_rels/.rels";
    const ooxml::Relationships package =
        ooxml::Relationships::parse(bytes_of(root_rels), root_rels);
    const auto* office = package.find_type(ooxml::relationship_type::office_document);
    if (office == nullptr) not_a_workbook(file_, "no officeDocument relationship");
    workbook_name_ = part_name_of("", office->target);
    const std::string& workbook_name = workbook_name_;
    workbook_ = std::make_unique<WorkbookPart>(load_xml(workbook_name, "workbook"));

    const std::string rels_name = relationships_name_of(workbook_name);
    const ooxml::Relationships relationships =
        ooxml::Relationships::parse(bytes_of(rels_name), rels_name);
    for (const SheetEntry& entry : workbook_->sheets()) {
        const auto* target = relationships.find_id(entry.relationship_id);
        if (target == nullptr) not_a_workbook(file_, "sheet " + entry.name + " has no part");
        sheets_.push_back(Sheet{part_name_of(workbook_name, target->target),
                                target->type == ooxml::relationship_type::worksheet});
    }
    if (const auto* strings = relationships.find_type(ooxml::relationship_type::shared_strings)) {
        shared_strings_name_ = part_name_of(workbook_name, strings->target);
    }
    if (const auto* styles = relationships.find_type(ooxml::relationship_type::styles)) {
        styles_name_ = part_name_of(workbook_name, styles->target);
    }
    active_sheet_ = workbook_->active_tab();
}

Book::~Book() = default;

/* ---------------------------------------------------------------- Book::has_part */
bool Book::has_part(std::string_view part_name) const {
    return std::find(part_order_.begin(), part_order_.end(), part_name) != part_order_.end();
}

/* ---------------------------------------------------------------- Book::bytes_of */
std::string Book::bytes_of(const std::string& part_name) const {
    if (!has_part(part_name)) not_a_workbook(file_, "no part " + part_name);
    try {
        return source_->read(part_name);
    } catch (const base::RunTimeError& e) {
        not_a_workbook(source_file_, e.what());
    }
}

/* ---------------------------------------------------------------- Book::part_name_of */
std::string Book::part_name_of(std::string_view source_part, std::string_view target) const {
    std::string name = resolve(folder_of(source_part), target);
    if (has_part(name)) return name;
    // Part names are compared without case.
    for (const std::string& candidate : part_order_) {
        if (same_ignoring_ascii_case(candidate, name)) return candidate;
    }
    not_a_workbook(file_, "no part " + name);
}

/* ---------------------------------------------------------------- Book::load_xml */
std::unique_ptr<XmlPart> Book::load_xml(const std::string& part_name, std::string_view root) const {
    return std::make_unique<XmlPart>(bytes_of(part_name), part_name, root, file_);
}

/* ---------------------------------------------------------------- Book::find_sheet */
std::optional<std::size_t> Book::find_sheet(std::string_view name) const {
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        if (same_ignoring_ascii_case(sheet(i).name, name)) return i;
    }
    return std::nullopt;
}

/* ---------------------------------------------------------------- Book::find_worksheet */
std::optional<std::size_t> Book::find_worksheet(std::size_t n) const {
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        if (sheets_[i].worksheet && --n == 0) return i;
    }
    return std::nullopt;
}

/* ---------------------------------------------------------------- Book::worksheet_count */
std::size_t Book::worksheet_count() const {
    return static_cast<std::size_t>(
        std::count_if(sheets_.begin(), sheets_.end(), [](const Sheet& s) { return s.worksheet; }));
}

/* ---------------------------------------------------------------- Book::fonts */
const StyleFonts& Book::fonts() {
    if (!fonts_) {
        if (styles_name_.empty()) {
            fonts_.emplace();
        } else {
            styles_ = load_xml(styles_name_, "styleSheet");
            fonts_.emplace(styles_->root());
        }
    }
    return *fonts_;
}

/* ---------------------------------------------------------------- Book::format */
void Book::format(std::size_t sheet, CellPosition cell, long long start, long long length,
                  FontSetting setting, std::string_view value) {
    if (!sheets_[sheet].worksheet) bad_reference("Cells of a chart sheet");
    std::uint32_t index = 0;
    if (setting == FontSetting::size || setting == FontSetting::name) {
        auto it = value_index_.find(value);
        if (it == value_index_.end()) {
            it =
                value_index_.emplace(std::string(value), static_cast<std::uint32_t>(values_.size()))
                    .first;
            values_.emplace_back(value);
        }
        index = it->second;
    }
    changes_[sheet].cells.push_back({cell.row, cell.column, start, length, setting, index});
}

/* ---------------------------------------------------------------- Book::apply */
void Book::apply(const FontChange& change, RunFont& font) const {
    switch (change.setting) {
        case FontSetting::superscript:
            font.set("vertAlign", "superscript");
            break;
        case FontSetting::not_superscript:
            if (const auto* align = font.find("vertAlign");
                align != nullptr && !align->attributes.empty() &&
                align->attributes.front().second == "superscript") {
                font.remove("vertAlign");
            }
            break;
        case FontSetting::size:
            font.set("sz", values_[change.value]);
            break;
        case FontSetting::name:
            font.set("rFont", values_[change.value]);
            // A theme font would show in place of the name.
            font.remove("scheme");
            break;
    }
}

/* ---------------------------------------------------------------- Book::select_sheet */
void Book::select_sheet(std::size_t index) {
    if (!sheet(index).visible) {
        select_failed("Worksheet", "sheet " + sheet(index).name + " is hidden");
    }
    active_sheet_ = index;
    selection_changed_ = true;
}

/* ---------------------------------------------------------------- Book::select_range */
void Book::select_range(std::size_t sheet_index, CellPosition first, CellPosition last) {
    if (sheet_index != active_sheet_) {
        select_failed("Range", "sheet " + sheet(sheet_index).name + " is not the active sheet");
    }
    std::string sqref = cell_reference(first);
    if (!(first == last)) sqref += ":" + cell_reference(last);
    changes_[sheet_index].selection.emplace(std::move(sqref), first);
}

/* ---------------------------------------------------------------- Book::shared_string_uses */
std::vector<std::size_t> Book::shared_string_uses(std::size_t items) const {
    std::vector<std::size_t> uses(items, 0);
    for (const Sheet& entry : sheets_) {
        if (!entry.worksheet) continue;
        SheetPart sheet(load_xml(entry.part_name, "worksheet"));
        sheet.for_each_shared_string_cell([&](pugi::xml_node cell) {
            const std::optional<std::size_t> index = shared_string_index(cell);
            if (index && *index < uses.size()) ++uses[*index];
        });
    }
    return uses;
}

/* ---------------------------------------------------------------- Book::change_cells */
void Book::change_cells(SheetPart& sheet, std::size_t index, const SheetChanges& changes,
                        SharedStrings* strings, std::vector<std::size_t>& uses) {
    // Cell by cell in row order; a cell's changes in the order they came.
    std::vector<const FontChange*> order;
    order.reserve(changes.cells.size());
    for (const FontChange& c : changes.cells) order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const FontChange* a, const FontChange* b) {
        return std::pair(a->row, a->column) < std::pair(b->row, b->column);
    });
    for (std::size_t first = 0; first < order.size();) {
        std::size_t last = first + 1;
        while (last < order.size() && order[last]->row == order[first]->row &&
               order[last]->column == order[first]->column) {
            ++last;
        }
        const CellPosition cell{order[first]->row, order[first]->column};
        const std::size_t from = first;
        first = last;
        const pugi::xml_node node = sheet.cell(cell);
        pugi::xml_node string_item;
        const std::optional<std::size_t> shared = shared_string_index(node);
        if (shared) {
            string_item = strings != nullptr ? strings->item(*shared) : pugi::xml_node();
            if (!string_item) {
                not_a_workbook(file_, sheets_[index].part_name + ": cell " + cell_reference(cell) +
                                          " points past the shared strings");
            }
        } else if (std::string_view(node.attribute("t").value()) == "inlineStr") {
            string_item = child_named(node, "is");
        }
        // Numbers, formulas and empty cells have no characters to format.
        if (!string_item) continue;
        const RichText original = RichText::read(string_item);
        RichText text = original;
        const RunFont& cell_font = fonts().cell_font(node.attribute("s").as_uint(0));
        for (std::size_t i = from; i < last; ++i) {
            const FontChange& c = *order[i];
            text.format(c.start, c.length, cell_font, [&](RunFont& font) { apply(c, font); });
        }
        if (text.runs() == original.runs()) continue;
        if (!shared) {
            text.write(string_item);
            sheet.part().touch(node);
        } else if (uses[*shared] == 1) {
            text.write(string_item);
            strings->part().touch();
        } else {
            // Other cells show the same item: this cell gets one of its own.
            const std::size_t own = strings->append();
            text.write(strings->item(own));
            --uses[*shared];
            uses.push_back(1);
            child_named(node, "v").text().set(std::to_string(own).c_str());
            sheet.part().touch(node);
        }
    }
    if (changes.selection) sheet.select(changes.selection->first, changes.selection->second);
}

/* ---------------------------------------------------------------- Book::save_as */
void Book::save_as(const std::filesystem::path& file, bool display_alerts) {
    if (display_alerts && base::path_kind(file) != base::PathKind::missing) file_exists(file);

    // Everything is worked out on fresh trees of the parts, so a failed save leaves the
    // workbook as it was before it. A sheet is worked out when the package reaches it and
    // deflated while the next one is, so that no more than two are held at a time.
    NewParts changed;
    std::unique_ptr<SharedStrings> strings;
    std::vector<std::size_t> uses;
    const bool cells_change = std::any_of(changes_.begin(), changes_.end(),
                                          [](const auto& c) { return !c.second.cells.empty(); });
    if (cells_change && !shared_strings_name_.empty()) {
        // A cell may get a shared string of its own: the strings part is known only once every
        // sheet has been worked out, so the sheets are held until then.
        strings = std::make_unique<SharedStrings>(load_xml(shared_strings_name_, "sst"));
        uses = shared_string_uses(strings->size());
        for (std::size_t i = 0; i < sheets_.size(); ++i) {
            if (std::optional<std::string> xml = changed_sheet(i, strings.get(), uses)) {
                changed.emplace(sheets_[i].part_name, std::move(*xml));
            }
        }
        if (strings->part().changed())
            changed.emplace(strings->part().name(), strings->part().xml());
    }
    if (selection_changed_) {
        WorkbookPart workbook(load_xml(workbook_name_, "workbook"));
        workbook.set_active_tab(active_sheet_);
        if (workbook.part().changed())
            changed.emplace(workbook.part().name(), workbook.part().xml());
    }
    std::map<std::string_view, std::size_t> sheet_parts;
    for (std::size_t i = 0; i < sheets_.size(); ++i) sheet_parts.emplace(sheets_[i].part_name, i);

    // A part that reading finds damaged only when it is copied is the workbook's fault.
    const auto writing = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const base::RunTimeError& e) {
            if (e.number() != static_cast<int>(base::ErrorNumber::invalid_file_format)) throw;
            not_a_workbook(source_file_, e.what());
        }
    };
    std::optional<ooxml::PackageWriter> writer;
    writing([&] { writer.emplace(file); });
    for (const std::string& name : part_order_) {
        std::optional<std::string> xml;
        if (const auto it = changed.find(name); it != changed.end()) {
            xml = std::move(it->second);
        } else if (const auto sheet = sheet_parts.find(name); sheet != sheet_parts.end()) {
            if (!strings) xml = changed_sheet(sheet->second, nullptr, uses);
            // A sheet left stored uncompressed, to be saved again, is deflated when it is.
            if (!xml && source_->stored(name)) xml = bytes_of(name);
        }
        writing([&] {
            if (xml) {
                writer->add(name, std::move(*xml));
            } else {
                writer->add_copy(*source_, name);
            }
        });
    }
    writing([&] { writer->commit(); });

    // The package read from now on is the one just written: it holds every part as it is.
    writer.reset();
    source_ = std::make_unique<ooxml::PackageReader>(file);
    source_file_ = file;
    changes_.clear();
    selection_changed_ = false;
    file_ = file;
}

/* ---------------------------------------------------------------- Book::changed_sheet */
std::optional<std::string> Book::changed_sheet(std::size_t index, SharedStrings* strings,
                                               std::vector<std::size_t>& uses) {
    const auto found = changes_.find(index);
    if (found == changes_.end() && !selection_changed_) return std::nullopt;
    SheetPart sheet(
        load_xml(sheets_[index].part_name, sheets_[index].worksheet ? "worksheet" : "chartsheet"));
    if (found != changes_.end()) change_cells(sheet, index, found->second, strings, uses);
    if (selection_changed_) sheet.set_tab_selected(index == active_sheet_);
    if (!sheet.part().changed()) return std::nullopt;
    return sheet.part().xml();
}

}  // namespace excel::detail
