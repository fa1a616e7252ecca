// Ruled tables: built as a Word table in the scratch document and moved into the output, or
// drawn into a metafile over the block.
#pragma once

#include <cstdint>

#include "graphics/drawing_context.h"
#include "jobfiles/prn_char.h"
#include "platform/word/word.h"
#include "varnel/wordbuilder/block_pictures.h"
#include "varnel/wordbuilder/page_placement.h"
#include "varnel/wordbuilder/text_grid_writer.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder {

// What a table is read from and written into.
struct TableTarget {
    jobfiles::PrnCharReader& text_file;  // just after the MATRIX keyword
    TextGridWriter& text;
    PagePlacement& page;
    word::Application& word;
    word::Document& work_document;  // where Word tables are built before they move
    word::Range& work_range;
    OutputPlace output;
    int page_number;  // the page being converted, from 1
};

class TableWriter {
  public:
    TableWriter(const WordRunSettings& settings, const BlockPictures& pictures);

    // The MATRIX record and its cells, in the table mode the user chose.
    void write(const TableTarget& target);

  private:
    void write_word_table(const TableTarget& target);
    void draw_table(const TableTarget& target);

    const WordRunSettings& settings_;
    const BlockPictures& pictures_;
    // Table drawings get a drawing state of their own: the block metafile stays open meanwhile.
    graphics::DrawingContext table_drawing_;
    // Where the last drawn cell text began: a cell of an unknown alignment starts there too.
    double table_text_x_ = 0;
};

}  // namespace wordbuilder
