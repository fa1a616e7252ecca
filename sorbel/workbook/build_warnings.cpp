#include "sorbel/workbook/build_warnings.h"

#include "base/cp932.h"

namespace workbook {

namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(BuildWarning::count_)> kind_names =
    {"文字の位置を変えた警告", "出力されない文字の警告", "表の位置を変えた警告",
     "余分なセル行の警告", "不明なレコードの警告"};

}  // namespace

/* ---------------------------------------------------------------- BuildWarnings::add */
void BuildWarnings::add(BuildWarning kind, const std::string& utf8_line) {
    if (++counts_[static_cast<std::size_t>(kind)] <= shown_per_kind) view_.add_warning(utf8_line);
}

/* ---------------------------------------------------------------- BuildWarnings::finish */
void BuildWarnings::finish() {
    for (std::size_t kind = 0; kind < counts_.size(); ++kind) {
        if (counts_[kind] > shown_per_kind) {
            view_.add_warning(std::string(kind_names[kind]) + "がほかに " +
                              std::to_string(counts_[kind] - shown_per_kind) + " 件あります");
        }
    }
    counts_ = {};
}

/* ---------------------------------------------------------------- text_excerpt */
std::string text_excerpt(std::string_view cp932_text) {
    constexpr std::size_t shown = 20;
    std::size_t end = 0;
    std::size_t characters = 0;
    while (end < cp932_text.size() && characters < shown) {
        end += cp932::char_length_at(cp932_text, end);
        ++characters;
    }
    std::string excerpt = "「" + cp932::to_utf8(cp932_text.substr(0, end));
    if (end < cp932_text.size()) excerpt += "…";
    return excerpt + "」";
}

}  // namespace workbook
