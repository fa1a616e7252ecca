// What the workbook build tells the user it left out or moved: the first few of each kind
// word for word, the rest counted, so that a job that repeats one fault on every page still
// gives a list a user can read.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "sorbel/workbook/stage_view.h"

namespace workbook {

enum class BuildWarning : std::size_t {
    text_outside_grid,  // a text placed elsewhere than its record says
    text_lost,          // a text, or part of it, that no cell holds
    table_moved,        // a table moved to the first column
    extra_cells,        // cell lines beyond their table
    unknown_record,     // a field where a keyword belongs
    count_
};

class BuildWarnings {
  public:
    explicit BuildWarnings(StageView& view) : view_(view) {}

    void add(BuildWarning kind, const std::string& utf8_line);
    // One line for each kind with warnings held back.
    void finish();

  private:
    static constexpr int shown_per_kind = 10;
    StageView& view_;
    std::array<int, static_cast<std::size_t>(BuildWarning::count_)> counts_{};
};

// The first characters of a CP932 text as a warning quotes it (UTF-8), "…" when cut.
std::string text_excerpt(std::string_view cp932_text);

}  // namespace workbook
