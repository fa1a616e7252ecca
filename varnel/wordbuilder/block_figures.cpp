#include "varnel/wordbuilder/block_figures.h"

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "base/cp932.h"
#include "base/whole_file.h"
#include "graphics/primitives.h"
#include "jobfiles/numeric.h"

namespace wordbuilder {

namespace {

// Metafile units of a record length: tenths of a millimetre x 10, scaled by the font-size ratio.
double units(double tenths, float ratio) {
    return tenths * 10 * static_cast<double>(ratio);
}

}  // namespace

/* ---------------------------------------------------------------- BlockFigures::BlockFigures */
BlockFigures::BlockFigures(const WordRunSettings& settings, const BlockPictures& pictures,
                           ProgressView& progress)
    : pictures_(pictures), progress_(progress) {
    drawing_.Font_Name = settings.Font_Name;
    canvas_.picture_folder = settings.job_dir;
}

/* ---------------------------------------------------------------- BlockFigures::open */
void BlockFigures::open(const jobfiles::PictBlock& block) {
    graphics_block_ = block;
    const emf::RECTL frame = pictures_.block_frame(block.x1, block.y1, block.x2, block.y2);
    metafile_.emplace(drawing_, pictures_.meta_file(std::to_string(block.number) + ".emf"),
                      frame.right, frame.bottom);
}

/* ---------------------------------------------------------------- BlockFigures::draw */
void BlockFigures::draw(const jobfiles::VarnelPictRecord& record, int page) {
    if (!metafile_) return;
    const float F = pictures_.FontSizeRatio;
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
    } else if (const auto* polygon = std::get_if<jobfiles::PictPolygon>(&record)) {
        std::vector<emf::POINTL> points;
        for (const jobfiles::PictPoint& p : polygon->points) {
            points.push_back(
                {jobfiles::to_int32(units(p.x, F)), jobfiles::to_int32(-units(p.y, F))});
        }
        graphics::DrawPolygon(drawing_, points, static_cast<std::int16_t>(points.size()),
                              polygon->fill_kind, polygon->line_kind, polygon->width,
                              polygon->line_colour, polygon->fill_colour);
    } else if (const auto* picture = std::get_if<jobfiles::PictPicture>(&record)) {
        const graphics::BitmapMessage message = graphics::DrawBitmap(
            canvas_, units(picture->x, F), -units(picture->y, F), picture->width * 10,
            picture->height * 10, picture->spare1, picture->spare2, picture->file,
            graphics_block_.x2 - graphics_block_.x1, graphics_block_.y2 - graphics_block_.y1);
        if (message != graphics::BitmapMessage::none) {
            progress_.show_message("", std::string(graphics::BitmapMessageText(message)) +
                                           "\nファイル: " + cp932::to_utf8(picture->file) + "（" +
                                           std::to_string(page) + "ページ）");
        }
    } else {
        return;
    }
    metafile_->mark_drawn();
}

/* ---------------------------------------------------------------- BlockFigures::finish */
void BlockFigures::finish(const OutputPlace& output, const PagePlacement& page) {
    if (!metafile_) return;
    const std::optional<std::filesystem::path> metafile = metafile_->finish();
    metafile_.reset();
    if (!metafile) return;
    const PicturePlace place = pictures_.place_of_block(graphics_block_.x1, graphics_block_.y1,
                                                        graphics_block_.x2, graphics_block_.y2);
    const float top = page.figure_top(place.top);
    if (canvas_.Bitmap_Drawn) {
        const std::filesystem::path bitmap = pictures_.meta_file("temp.bmp");
        base::remove_file(bitmap);
        // Saved whole under a temporary name and renamed: once it exists it is complete, so
        // there is nothing to wait for before inserting it.
        canvas_.Pic2.save_bmp(bitmap);
        pictures_.add_picture(output, bitmap, place, top);
        canvas_.Pic2.clear();
    }
    pictures_.add_picture(output, *metafile, place, top);
    canvas_.Bitmap_Drawn = false;
}

/* ---------------------------------------------------------------- BlockFigures::finish_unplaced */
void BlockFigures::finish_unplaced() {
    if (metafile_) metafile_->finish();
    metafile_.reset();
}

}  // namespace wordbuilder
