// The graphics reader: reads PRN_PICT in step with the text, one block ahead of the text
// writer, draws each block's figures into the block's metafile and hands page ends over to
// the page loop.
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "graphics/primitives.h"
#include "jobfiles/numeric.h"
#include "varnel/wordbuilder/word_run.h"

namespace wordbuilder {

namespace {

// Metafile units of a record length: tenths of a millimetre x 10, scaled by the font-size ratio.
double units(double tenths, float ratio) {
    return tenths * 10 * static_cast<double>(ratio);
}

}  // namespace

/* ---------------------------------------------------------------- WordRun::read_graphics */
void WordRun::read_graphics(bool at_page_end) {
    for (;;) {
        // A page line met between two text blocks stays unread until the text's own page line:
        // a page whose figures name fewer blocks than its text must not end before its text.
        const jobfiles::VarnelPictReader before = *graphics_file_;
        auto record = graphics_file_->next();
        if (!record) return;
        if (!at_page_end && std::holds_alternative<jobfiles::PictPage>(*record)) {
            *graphics_file_ = before;
            return;
        }
        if (const auto* block = std::get_if<jobfiles::PictBlock>(&*record)) {
            finish_block_graphics();
            open_block_graphics(*block);
            if (block->number == Block_No) continue;
            // Block_No moves on only here: the text writer writes the new block's text next,
            // and its figures follow when the reader comes back.
            Block_No = block->number;
            return;
        }
        if (std::holds_alternative<jobfiles::PictPage>(*record)) {
            finish_block_graphics();
            Graphics_Offset = 0;
            PageStart = true;
            page_end();
            return;
        }
        draw_record(*record);
    }
}

/* ----------------------------------------------------------------
 * WordRun::read_graphics_to_page_end */
void WordRun::read_graphics_to_page_end() {
    // The text ended without its page line: the page's remaining figures still belong to it.
    while (auto record = graphics_file_->next()) {
        if (std::holds_alternative<jobfiles::PictPage>(*record)) break;
        if (const auto* block = std::get_if<jobfiles::PictBlock>(&*record)) {
            finish_block_graphics();
            open_block_graphics(*block);
            continue;
        }
        draw_record(*record);
    }
}

/* ---------------------------------------------------------------- WordRun::open_block_graphics */
void WordRun::open_block_graphics(const jobfiles::PictBlock& block) {
    graphics_block_ = block;
    const emf::RECTL frame = block_frame(block.x1, block.y1, block.x2, block.y2);
    block_metafile_.emplace(drawing_, meta_file(std::to_string(block.number) + ".emf"), frame.right,
                            frame.bottom);
}

/* ---------------------------------------------------------------- WordRun::draw_record */
void WordRun::draw_record(const jobfiles::VarnelPictRecord& record) {
    // Figures before a page's first block have no metafile to go to.
    if (!block_metafile_) return;
    const float F = FontSizeRatio;
    if (const auto* label = std::get_if<jobfiles::PictLabel>(&record)) {
        const double cell_tenths = jobfiles::to_int32(label->size * 25.4 / 72);
        const std::int16_t height = jobfiles::to_int16(units(cell_tenths, F));
        graphics::varnel::DrawLabelText(drawing_, label->text, units(label->x, F),
                                        -units(label->y, F), height, label->angle);
    } else if (const auto* line = std::get_if<jobfiles::PictLine>(&record)) {
        graphics::DrawLine(drawing_, units(line->x1, F), -units(line->y1, F), units(line->x2, F),
                           -units(line->y2, F), line->line_kind, line->width);
    } else if (const auto* circle = std::get_if<jobfiles::PictCircle>(&record)) {
        graphics::DrawArc(drawing_, units(circle->cx - circle->rx, F),
                          -units(circle->cy - circle->ry, F), units(circle->cx + circle->rx, F),
                          -units(circle->cy + circle->ry, F), circle->start_angle,
                          circle->end_angle, circle->line_kind, circle->width);
    } else if (const auto* picture = std::get_if<jobfiles::PictPicture>(&record)) {
        const graphics::BitmapMessage message = graphics::DrawBitmap(
            canvas_, units(picture->x, F), -units(picture->y, F), picture->width * 10,
            picture->height * 10, picture->spare1, picture->spare2, picture->file,
            graphics_block_.x2 - graphics_block_.x1, graphics_block_.y2 - graphics_block_.y1);
        if (message != graphics::BitmapMessage::none) {
            progress_.show_message("", std::string(graphics::BitmapMessageText(message)));
        }
    } else {
        return;
    }
    block_metafile_->mark_drawn();
}

/* ---------------------------------------------------------------- WordRun::finish_block_graphics
 */
void WordRun::finish_block_graphics() {
    if (!block_metafile_) return;
    const std::optional<std::filesystem::path> metafile = block_metafile_->finish();
    block_metafile_.reset();
    if (!metafile) return;
    const PicturePlace place = place_of_block(graphics_block_.x1, graphics_block_.y1,
                                              graphics_block_.x2, graphics_block_.y2);
    const float top = place.top + static_cast<float>(Page_Drift) + Graphics_Offset;
    if (canvas_.Bitmap_Drawn) {
        const std::filesystem::path bitmap = meta_file("temp.bmp");
        std::filesystem::remove(bitmap);
        // Saved whole under a temporary name and renamed: once it exists it is complete, so
        // there is nothing to wait for before inserting it.
        canvas_.Pic2.save_bmp(bitmap);
        add_picture(bitmap, place, top);
        canvas_.Pic2.clear();
    }
    add_picture(*metafile, place, top);
    canvas_.Bitmap_Drawn = false;
}

/* ---------------------------------------------------------------- WordRun::abandon_block_graphics
 */
void WordRun::abandon_block_graphics() {
    // The run is failing: the block's figures are not written at all.
    block_metafile_.reset();
}

}  // namespace wordbuilder
