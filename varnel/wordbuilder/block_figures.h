// A block's figures: drawn into the block's metafile (and its bitmap canvas) as the graphics
// reader meets them, and placed behind the text when the block is over.
#pragma once

#include <optional>

#include "graphics/bitmap_drawing.h"
#include "graphics/block_metafile.h"
#include "graphics/drawing_context.h"
#include "jobfiles/prn_pict.h"
#include "varnel/wordbuilder/block_pictures.h"
#include "varnel/wordbuilder/page_placement.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder {

class BlockFigures {
  public:
    BlockFigures(const WordRunSettings& settings, const BlockPictures& pictures,
                 ProgressView& progress);

    // Opens the block's metafile; the caller has finished the one before.
    void open(const jobfiles::PictBlock& block);
    // Figures before a page's first block have no metafile to go to and are passed over.
    // `page` (from 1) is named in a message about a picture that could not be drawn.
    void draw(const jobfiles::VarnelPictRecord& record, int page);
    // Writes the open block's metafile and places it, with the bitmap canvas if a picture
    // was drawn; a block that drew nothing leaves no file and places nothing.
    void finish(const OutputPlace& output, const PagePlacement& page);
    // A cancelled run: the open block's metafile is finished as it stands, but not placed.
    void finish_unplaced();
    // A failing run: the open block's figures are not written at all.
    void abandon() { metafile_.reset(); }

  private:
    const BlockPictures& pictures_;
    ProgressView& progress_;
    graphics::DrawingContext drawing_;
    graphics::BitmapCanvas canvas_;
    std::optional<graphics::BlockMetafile> metafile_;
    jobfiles::PictBlock graphics_block_;
};

}  // namespace wordbuilder
