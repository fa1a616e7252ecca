// Where the current page began in the output, and how far what was written on it moves the
// figures placed after it: Word table rows are taller or shorter than the grid lines they
// stand for, and a table at the very top of a page needs a line of its own before it.
#pragma once

#include <cstdint>

namespace wordbuilder {

class PagePlacement {
  public:
    // A page's text begins at `start_position` of the output.
    void new_page(std::int32_t start_position) {
        page_start_position_ = start_position;
        Page_Drift = 0;
    }
    // The page is over; the next text or table opens the next one.
    void page_ended() {
        PageStart = true;
        Graphics_Offset = 0;
    }
    void text_written() { PageStart = false; }
    // A Word table at the top of a page is pasted after a line of its own, which moves the
    // page's later figures down by one line of `line_height` points.
    bool table_opens_page() const { return PageStart; }
    void table_written(float line_height_if_page_opened) {
        if (PageStart) Graphics_Offset = line_height_if_page_opened;
        PageStart = false;
    }
    // A Word table row `points` taller than the grid line it stands for.
    void add_row_drift(double points) { Page_Drift += points; }

    std::int32_t page_start_position() const { return page_start_position_; }
    // Where a figure whose place on the printed page is `top` points lands in the document.
    float figure_top(float top) const {
        return top + static_cast<float>(Page_Drift) + Graphics_Offset;
    }
    // A drawn table's picture moves with the rows above it only.
    float table_top(float top) const { return top + static_cast<float>(Page_Drift); }

  private:
    bool PageStart = false;
    std::int32_t page_start_position_ = 0;
    float Graphics_Offset = 0;
    double Page_Drift = 0;
};

}  // namespace wordbuilder
