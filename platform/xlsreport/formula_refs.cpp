#include "platform/xlsreport/formula_refs.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/xlsreport/sheet_names.h"

namespace xlsreport::detail {

namespace {

// A formula cut at its sheet prefixes: text between them passes through as written.
struct Piece {
    std::string_view text;
    bool prefix = false;     // a sheet prefix, its "!" included
    std::string sheet;       // the sheet a prefix names, unquoted
    bool elsewhere = false;  // another workbook ([1]Sheet!) or a range of sheets (A:B!)
    bool broken = false;     // #REF!, a reference Excel lost
};

constexpr std::string_view delimiters = " \t\r\n(),;+-*/^&=<>%{}";

// Excel's error values; every other "#" outside strings and brackets is no formula.
constexpr std::array<std::string_view, 8> error_values{
    "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "#GETTING_DATA"};

bool starts_with_folded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

std::optional<std::vector<Piece>> split(std::string_view f) {
    std::vector<Piece> pieces;
    std::size_t plain = 0;  // start of the text not yet in a piece
    std::size_t word = 0;   // start of the run of name characters the cursor is in
    int parentheses = 0, braces = 0;
    const auto flush = [&](std::size_t end) {
        if (end > plain) pieces.push_back({f.substr(plain, end - plain), false, {}, false, false});
    };
    const auto add_prefix = [&](std::size_t begin, std::size_t end, std::string sheet) {
        flush(begin);
        const bool elsewhere = sheet.starts_with('[') || sheet.find(':') != std::string::npos;
        pieces.push_back({f.substr(begin, end - begin), true, std::move(sheet), elsewhere, false});
        plain = word = end;
    };
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        if (c == '"') {
            std::size_t j = i + 1;
            for (;; j += 2) {
                j = f.find('"', j);
                if (j == std::string_view::npos) return std::nullopt;
                if (j + 1 >= f.size() || f[j + 1] != '"') break;
            }
            i = word = j + 1;
        } else if (c == '\'') {
            if (word != i) return std::nullopt;
            std::string sheet;
            std::size_t j = i + 1;
            for (;; ++j) {
                if (j >= f.size()) return std::nullopt;
                if (f[j] == '\'') {
                    if (j + 1 < f.size() && f[j + 1] == '\'') {
                        ++j;
                    } else {
                        break;
                    }
                }
                sheet += f[j];
            }
            if (j + 1 >= f.size() || f[j + 1] != '!' || sheet.empty()) return std::nullopt;
            add_prefix(i, j + 2, std::move(sheet));
            i = j + 2;
        } else if (c == '[') {
            int depth = 0;
            std::size_t j = i;
            for (; j < f.size(); ++j) {
                depth += f[j] == '[' ? 1 : f[j] == ']' ? -1 : 0;
                if (depth == 0) break;
            }
            if (j >= f.size()) return std::nullopt;
            i = j + 1;
        } else if (c == '#') {
            const auto* value = std::find_if(
                error_values.begin(), error_values.end(),
                [&](std::string_view e) { return starts_with_folded(f.substr(i), e); });
            if (value == error_values.end() || word != i) return std::nullopt;
            if (*value == "#REF!") {
                flush(i);
                pieces.push_back({f.substr(i, value->size()), false, {}, false, true});
                plain = i + value->size();
            }
            i = word = i + value->size();
        } else if (c == '!') {
            if (word == i) return std::nullopt;
            add_prefix(word, i + 1, std::string(f.substr(word, i - word)));
            i = i + 1;
        } else {
            if (c == '(') ++parentheses;
            if (c == ')' && --parentheses < 0) return std::nullopt;
            if (c == '{') ++braces;
            if (c == '}' && --braces < 0) return std::nullopt;
            ++i;
            if (delimiters.find(c) != std::string_view::npos) word = i;
        }
    }
    if (parentheses != 0 || braces != 0) return std::nullopt;
    flush(f.size());
    if (f.find_first_not_of(delimiters.substr(0, 4)) == std::string_view::npos) return std::nullopt;
    return pieces;
}

// One end of an area: column letters and row digits, each maybe absolute; either may be
// missing ("$A", "$1").
struct AreaEnd {
    std::optional<std::int32_t> col, row;
};

std::optional<AreaEnd> area_end(std::string_view text) {
    AreaEnd end;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '$') ++i;
    std::int32_t col = 0;
    std::size_t letters = 0;
    for (; i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])); ++i, ++letters)
        col = col * 26 + (std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 1);
    if (letters > 3 || col - 1 > max_col) return std::nullopt;
    if (letters > 0) end.col = col - 1;
    if (i < text.size() && text[i] == '$') {
        if (letters == 0 && i > 0) return std::nullopt;
        ++i;
    }
    std::int64_t row = 0;
    std::size_t digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits)
        row = row * 10 + (text[i] - '0');
    if (digits > 7 || (digits > 0 && (row < 1 || row - 1 > max_row))) return std::nullopt;
    if (digits > 0) end.row = static_cast<std::int32_t>(row - 1);
    if (i != text.size() || (letters == 0 && digits == 0)) return std::nullopt;
    return end;
}

std::optional<CellRange> area(std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto first = area_end(text.substr(0, colon));
    const auto last = colon == std::string_view::npos ? first : area_end(text.substr(colon + 1));
    if (!first || !last) return std::nullopt;
    const bool cells = first->col && first->row && last->col && last->row;
    const bool rows = !first->col && !last->col && first->row && last->row;
    const bool cols = first->col && !first->row && last->col && !last->row;
    if (!cells && !rows && !cols) return std::nullopt;
    CellRange r{first->col.value_or(0), first->row.value_or(0), last->col.value_or(max_col),
                last->row.value_or(max_row)};
    if (r.col1 > r.col2) std::swap(r.col1, r.col2);
    if (r.row1 > r.row2) std::swap(r.row1, r.row2);
    return r;
}

}  // namespace

/* ------------------------------------------------------------ formula_parses */
bool formula_parses(std::string_view formula) {
    return split(formula).has_value();
}

/* ------------------------------------------------------------ move_formula */
MovedFormula move_formula(std::string_view formula, std::string_view from, std::string_view to,
                          const std::function<bool(std::string_view sheet)>& exists) {
    const auto pieces = split(formula);
    if (!pieces) return {{}, "式を解釈できません"};
    MovedFormula moved;
    for (const Piece& p : *pieces) {
        if (p.broken) return {{}, "参照先が失われています (#REF!)"};
        if (p.elsewhere) return {{}, "ほかのブックまたは複数のシートを参照しています"};
        if (!p.prefix) {
            moved.formula += p.text;
        } else if (!from.empty() && same_sheet_name(p.sheet, from)) {
            moved.formula += quoted_sheet_name(to) + "!";
        } else if (exists(p.sheet)) {
            moved.formula += p.text;
        } else {
            return {{}, "シート「" + p.sheet + "」を参照していますが、ブックにありません"};
        }
    }
    return moved;
}

/* ------------------------------------------------------------ formula_areas */
std::optional<std::vector<CellRange>> formula_areas(std::string_view formula) {
    const auto pieces = split(formula);
    if (!pieces) return std::nullopt;
    std::string areas;
    for (const Piece& p : *pieces) {
        if (p.broken || p.elsewhere) return std::nullopt;
        if (!p.prefix) areas += p.text;
    }
    std::vector<CellRange> ranges;
    for (std::size_t start = 0;;) {
        const std::size_t comma = areas.find(',', start);
        const auto r = area(std::string_view(areas).substr(start, comma - start));
        if (!r) return std::nullopt;
        ranges.push_back(*r);
        if (comma == std::string::npos) return ranges;
        start = comma + 1;
    }
}

/* ------------------------------------------------------------ quoted_sheet_name */
std::string quoted_sheet_name(std::string_view sheet) {
    std::string quoted = "'";
    for (const char c : sheet) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

}  // namespace xlsreport::detail
