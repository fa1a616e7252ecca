#include "platform/xlsreport/defined_names.h"

#include <algorithm>
#include <cctype>

#include "platform/xlsreport/cell_text.h"
#include "platform/xlsreport/formula_refs.h"
#include "platform/xlsreport/sheet_names.h"

namespace xlsreport::detail {

namespace {

bool inside(const std::vector<CellRange>& areas, const CellRange& range) {
    return std::any_of(areas.begin(), areas.end(),
                       [&](const CellRange& a) { return a.contains(range); });
}

// Every cell the sheet gives something to, every merge and every picture's corner.
bool fits(const SheetModel& sheet, const std::vector<CellRange>& areas) {
    for (const auto& [r, row] : sheet.rows()) {
        for (const auto& [c, cell] : row.cells) {
            if (!inside(areas, {c, r, c, r})) return false;
        }
    }
    for (const CellRange& m : sheet.merges()) {
        if (!inside(areas, m)) return false;
    }
    for (const PlacedPicture& p : sheet.pictures()) {
        if (!inside(areas, {p.col, p.row, p.col, p.row})) return false;
    }
    return true;
}

// "「Page 1～50」" or "「Page 1～50」ほか 3 シート".
std::string sheets_text(const std::string& first, std::size_t count) {
    std::string text = "「" + first + "」";
    if (count > 1) text += "ほか " + std::to_string(count - 1) + " シート";
    return text;
}

bool cell_reference_like(std::string_view name) {
    std::size_t i = 0;
    while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i]))) ++i;
    const std::size_t letters = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    if (i == name.size() && letters >= 1 && letters <= 3 && i > letters) return true;
    // R1C1 references, and R and C alone.
    const auto folded = [&](std::size_t at) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(name[at])));
    };
    std::size_t j = 0;
    if (j < name.size() && folded(j) == 'R') {
        ++j;
        while (j < name.size() && std::isdigit(static_cast<unsigned char>(name[j]))) ++j;
    }
    if (j < name.size() && folded(j) == 'C') {
        ++j;
        while (j < name.size() && std::isdigit(static_cast<unsigned char>(name[j]))) ++j;
    }
    return j == name.size();
}

}  // namespace

/* ------------------------------------------------------------ valid_defined_name */
bool valid_defined_name(std::string_view name) {
    if (name.empty() || utf16_length(name) > 255 || cell_reference_like(name)) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool first = c >= 0x80 || std::isalpha(c) || c == '_' || c == '\\';
        const bool later = first || std::isdigit(c) || c == '.' || c == '?';
        if (!(i == 0 ? first : later)) return false;
    }
    return true;
}

/* ------------------------------------------------------------ NameTable */
NameTable::NameTable(std::vector<DefinedName> workbook_names, std::string template_name, Warn warn)
    : workbook_names_(std::move(workbook_names)),
      template_name_(std::move(template_name)),
      warn_(std::move(warn)) {}

/* ------------------------------------------------------------ NameTable::add_sheet */
void NameTable::add_sheet(const SheetModel& sheet, std::string_view from_sheet,
                          const std::vector<DefinedName>& names) {
    const std::size_t index = sheets_++;
    for (const DefinedName& n : names) {
        if (same_sheet_name(n.name, print_area_name)) {
            const auto areas = formula_areas(n.formula);
            if (!areas || !fits(sheet, *areas)) {
                auto it = std::find_if(unfit_areas_.begin(), unfit_areas_.end(),
                                       [&](const auto& u) { return u.first == from_sheet; });
                if (it == unfit_areas_.end()) {
                    unfit_areas_.emplace_back(std::string(from_sheet),
                                              Dropped{n.formula, sheet.name(), 0});
                    it = std::prev(unfit_areas_.end());
                }
                ++it->second.sheets;
                continue;
            }
        }
        sheet_names_.push_back({index, std::string(from_sheet), &n});
    }
}

/* ------------------------------------------------------------ NameTable::write */
void NameTable::write(ooxml::XmlWriter& out, const std::vector<std::string>& sheet_names) const {
    const std::string in_template = "テンプレート " + template_name_ + " の";
    for (const auto& [from, dropped] : unfit_areas_) {
        warn_(in_template + "シート「" + from + "」の印刷範囲 " + dropped.what + " は、シート" +
              sheets_text(dropped.first_sheet, dropped.sheets) +
              "のページが収まらないため外しました。");
    }
    const auto exists = [&](std::string_view sheet) {
        return std::any_of(sheet_names.begin(), sheet_names.end(),
                           [&](const std::string& s) { return same_sheet_name(s, sheet); });
    };
    bool open = false;
    const auto write_name = [&](const DefinedName& n, const std::string& formula,
                                const std::size_t* sheet) {
        if (!open) out.start("definedNames");
        open = true;
        out.start("definedName");
        out.attribute("name", n.name);
        if (sheet != nullptr) out.attribute("localSheetId", *sheet);
        for (const auto& [attribute, value] : n.attributes) out.attribute(attribute, value);
        out.text(formula);
        out.end();
    };

    for (const DefinedName& n : workbook_names_) {
        const MovedFormula moved = move_formula(n.formula, "", "", exists);
        if (moved.problem.empty()) {
            write_name(n, moved.formula, nullptr);
        } else {
            warn_(in_template + "名前 " + n.name + " を省きました: " + moved.problem + "。");
        }
    }

    // A name left out of several sheets is told once.
    std::vector<std::pair<const SheetName*, Dropped>> dropped;
    for (const SheetName& s : sheet_names_) {
        const MovedFormula moved =
            move_formula(s.name->formula, s.from_sheet, sheet_names.at(s.sheet), exists);
        if (moved.problem.empty()) {
            write_name(*s.name, moved.formula, &s.sheet);
            continue;
        }
        auto it = std::find_if(dropped.begin(), dropped.end(),
                               [&](const auto& d) { return d.first->name == s.name; });
        if (it == dropped.end()) {
            dropped.emplace_back(&s, Dropped{moved.problem, sheet_names.at(s.sheet), 0});
            it = std::prev(dropped.end());
        }
        ++it->second.sheets;
    }
    if (open) out.end();
    for (const auto& [s, d] : dropped) {
        warn_(in_template + "シート「" + s->from_sheet + "」の名前 " + s->name->name + " をシート" +
              sheets_text(d.first_sheet, d.sheets) + "から省きました: " + d.what + "。");
    }
}

}  // namespace xlsreport::detail
