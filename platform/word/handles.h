// What the formatting handles point at: a range, all paragraphs of a document, or a style.
#pragma once

#include <memory>

#include "platform/word/model.h"
#include "platform/word/word.h"

namespace word::detail {

struct FontTarget {
    std::shared_ptr<RangeState> range;
    std::shared_ptr<StyleState> style;
};

struct ParagraphFormatTarget {
    std::shared_ptr<RangeState> range;
    std::shared_ptr<StyleState> style;
};

struct BordersTarget {
    std::shared_ptr<TableState> table;
    int row = 0;  // 1-based; 0 for the whole table
    int column = 0;
};

struct BorderTarget {
    BordersTarget borders;
    int index = 0;
};

// The open document of a range; a RunTimeError once it is closed.
DocState& doc_of(const RangeState& range);

}  // namespace word::detail
