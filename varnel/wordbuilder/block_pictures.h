// Block pictures: where a block's metafile goes, its frame, and its floating picture at the
// block's place on the page, behind the text.
#pragma once

#include <filesystem>
#include <string>

#include "graphics/block_metafile.h"
#include "platform/word/word.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder {

// The output document and the range the next text goes in at.
struct OutputPlace {
    word::Document& document;
    word::Range& range;
};

struct PicturePlace {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

class BlockPictures {
  public:
    explicit BlockPictures(const WordRunSettings& settings) : settings_(settings) {}

    // The size Word really applied to the text over the size asked for: every block's height
    // and offset scale with it.
    float FontSizeRatio = 1;

    std::filesystem::path meta_file(const std::string& name) const;
    // The metafile frame of a block in 0.01 mm.
    emf::RECTL block_frame(double x1, double y1, double x2, double y2) const;
    PicturePlace place_of_block(double x1, double y1, double x2, double y2) const;
    // A floating picture behind the text, anchored at the output range, `top` points from
    // the page's top edge.
    void add_picture(const OutputPlace& output, const std::filesystem::path& file,
                     const PicturePlace& place, float top) const;

  private:
    const WordRunSettings& settings_;
};

}  // namespace wordbuilder
