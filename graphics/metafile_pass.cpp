#include "graphics/metafile_pass.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <variant>
#include <vector>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "base/system_error.h"
#include "base/whole_file.h"
#include "base/work_file_writer.h"
#include "graphics/bitmap_drawing.h"
#include "graphics/block_metafile.h"
#include "graphics/primitives.h"
#include "jobfiles/block_metafile_names.h"
#include "jobfiles/numeric.h"
#include "jobfiles/prn_pict.h"

namespace graphics {

namespace {

class MetafilePass {
  public:
    MetafilePass(const MetafilePassSettings& settings, std::int16_t first, std::int16_t last,
                 MetafilePassView& view)
        : settings_(settings), first_(first), last_(last), view_(view) {
        context_.Font_Name = settings.Font_Name;
        frame_width_mm10_ =
            settings.Paper_Width * 10 - settings.Margin_Left - settings.Margin_Right;
        frame_width_ = jobfiles::to_int32(frame_width_mm10_ * 10);
        canvas_.picture_folder = settings.job_dir;
        context_.gdi.DeferFileWrites(&files_);
    }

    PassOutcome run();

  private:
    bool in_range() const noexcept { return page_ >= first_ && page_ <= last_; }
    std::string page_caption(const char* how) const {
        return "図形構築中 " + std::to_string(page_) + "/" +
               jobfiles::plain_number(settings_.Page_Count) + "ページ " + how;
    }
    void next_page();
    void open_block(const jobfiles::SorbelPictBlock& block);
    void finish_block();
    void draw(const jobfiles::SorbelPictRecord& record);
    bool draw_picture(const jobfiles::PictPicture& picture);
    void save_canvas();
    void tell_missing_pages();
    double X(double x) const { return (x + bx1_ - settings_.Margin_Left) * 10; }
    static double Y(double y) { return -y * 10; }

    // Declared first, so that it outlives the drawing that hands it files.
    base::WorkFileWriter files_;
    const MetafilePassSettings& settings_;
    std::int16_t first_;
    std::int16_t last_;
    MetafilePassView& view_;
    DrawingContext context_;
    double frame_width_mm10_ = 0;
    std::int32_t frame_width_ = 0;
    jobfiles::BlockMetafileNames names_;
    jobfiles::BlockOccurrences occurrences_;
    int page_ = 1;
    bool page_has_records_ = false;
    double bx1_ = 0;
    double block_height_mm10_ = 0;
    std::optional<BlockMetafile> block_;
    std::filesystem::path canvas_file_;
    BitmapCanvas canvas_;
    // The canvas last encoded and its file: a logo on every page is encoded once.
    raster::Canvas encoded_canvas_;
    std::vector<std::uint8_t> encoded_png_;
    std::vector<emf::POINTL> points_;
};

/* ---------------------------------------------------------------- MetafilePass::next_page */
void MetafilePass::next_page() {
    view_.set_status(page_caption(in_range() ? "終了" : "スキップ"));
    view_.step_progress();
    view_.yield();
    // Pages are counted in 16 bits.
    if (page_ == INT16_MAX) {
        throw base::RunTimeError(base::ErrorNumber::overflow,
                                 "PRN_PICT：ページ数が 32767 を超えています");
    }
    ++page_;
    page_has_records_ = false;
    occurrences_.new_page();
}

/* ---------------------------------------------------------------- MetafilePass::open_block */
void MetafilePass::open_block(const jobfiles::SorbelPictBlock& block) {
    bx1_ = block.x1;
    block_height_mm10_ = block.y2 - block.y1;
    const auto name = names_.name(static_cast<std::int16_t>(page_), block.number,
                                  occurrences_.next(block.number));
    const std::filesystem::path file = settings_.job_dir / "META_FILE" / name.value();
    const std::int32_t height = jobfiles::to_int32(block_height_mm10_ * 10);
    block_.emplace(context_, file, frame_width_, height);
    canvas_file_ = std::filesystem::path(file).replace_extension(".png");
}

/* ---------------------------------------------------------------- MetafilePass::finish_block */
void MetafilePass::finish_block() {
    if (!block_) return;
    // Written (when something was drawn) before the object goes, so a failing write is an
    // error of the pass and not a silent loss.
    block_->finish();
    block_.reset();
    save_canvas();
}

/* ---------------------------------------------------------------- MetafilePass::save_canvas */
void MetafilePass::save_canvas() {
    if (!canvas_.Bitmap_Drawn) return;
    canvas_.Bitmap_Drawn = false;
    if (!(canvas_.Pic2 == encoded_canvas_)) {
        encoded_png_ = canvas_.Pic2.encode_png();
        encoded_canvas_ = canvas_.Pic2;
    }
    files_.write(canvas_file_, std::string(encoded_png_.begin(), encoded_png_.end()));
}

/* ---------------------------------------------------------------- MetafilePass::tell_missing_pages
 */
void MetafilePass::tell_missing_pages() {
    const int held = page_has_records_ ? page_ : page_ - 1;
    if (held >= last_) return;
    const int first_missing = std::max<int>(held + 1, first_);
    view_.add_warning("PRN_PICT にページ " + std::to_string(first_missing) + "～" +
                      std::to_string(last_) + " がありません（その図形は変換されません）");
}

/* ---------------------------------------------------------------- MetafilePass::draw_picture */
bool MetafilePass::draw_picture(const jobfiles::PictPicture& picture) {
    // The canvas spans the metafile's frame, not the block, so both lie on the sheet alike.
    const BitmapMessage message = DrawBitmap(
        canvas_, X(picture.x), Y(picture.y), picture.width * 10, picture.height * 10,
        picture.spare1, picture.spare2, picture.file, frame_width_mm10_, block_height_mm10_);
    if (message == BitmapMessage::none) return true;
    view_.add_warning(std::string(BitmapMessageText(message)) + "（ファイル: " +
                      cp932::to_utf8(picture.file) + "、" + std::to_string(page_) + "ページ）");
    return false;
}

/* ---------------------------------------------------------------- MetafilePass::draw */
void MetafilePass::draw(const jobfiles::SorbelPictRecord& record) {
    // Figures before a page's first block have no metafile to go to.
    if (!block_) return;
    if (const auto* label = std::get_if<jobfiles::PictLabel>(&record)) {
        const std::int16_t height = jobfiles::to_int16(label->size / (72 / 25.4) * 10);
        sorbel::DrawLabelText(context_, label->text, X(label->x), Y(label->y), height,
                              label->angle);
    } else if (const auto* line = std::get_if<jobfiles::PictLine>(&record)) {
        DrawLine(context_, X(line->x1), Y(line->y1), X(line->x2), Y(line->y2), line->line_kind,
                 line->width);
    } else if (const auto* circle = std::get_if<jobfiles::PictCircle>(&record)) {
        const double c = circle->cx + bx1_ - settings_.Margin_Left;
        DrawArc(context_, (c - circle->rx) * 10, -(circle->cy - circle->ry) * 10,
                (c + circle->rx) * 10, -(circle->cy + circle->ry) * 10, circle->start_angle,
                circle->end_angle, circle->line_kind, circle->width);
    } else if (const auto* polygon = std::get_if<jobfiles::PictPolygon>(&record)) {
        points_.clear();
        for (const auto& p : polygon->points) {
            points_.push_back({jobfiles::to_int32(X(p.x)), jobfiles::to_int32(Y(p.y))});
        }
        DrawPolygon(context_, points_, static_cast<std::int16_t>(points_.size()),
                    polygon->fill_kind, polygon->line_kind, polygon->width, polygon->line_colour,
                    polygon->fill_colour);
    } else if (const auto* picture = std::get_if<jobfiles::PictPicture>(&record)) {
        // A picture left out draws nothing: the block keeps no empty metafile for it.
        if (!draw_picture(*picture)) return;
    } else {
        return;
    }
    block_->mark_drawn();
}

/* ---------------------------------------------------------------- MetafilePass::run */
PassOutcome MetafilePass::run() {
    view_.start_progress(settings_.Page_Count);
    view_.set_status("図形構築開始");
    view_.yield();
    try {
        const std::filesystem::path folder = settings_.job_dir / "META_FILE";
        std::error_code ec;
        std::filesystem::create_directory(folder, ec);
        const base::PathKind kind = base::path_kind(folder);
        if (kind == base::PathKind::missing && ec) {
            throw base::system_error(ec.value(), folder, base::FileAccess::write);
        }
        if (kind != base::PathKind::folder) {
            throw base::RunTimeError(base::ErrorNumber::path_not_found, folder.string());
        }
        base::MappedFile file(settings_.job_dir / "PRN_PICT");
        names_ = jobfiles::BlockMetafileNames::scan(file);
        file.release_all();
        jobfiles::SorbelPictReader in(file.bytes());
        while (const auto record = in.next()) {
            file.release_before(in.offset());
            page_has_records_ = !std::holds_alternative<jobfiles::PictPage>(*record);
            if (!in_range()) {
                if (const auto* block = std::get_if<jobfiles::SorbelPictBlock>(&*record)) {
                    bx1_ = block->x1;
                } else if (std::holds_alternative<jobfiles::PictPage>(*record)) {
                    next_page();
                }
            } else if (const auto* block = std::get_if<jobfiles::SorbelPictBlock>(&*record)) {
                finish_block();
                open_block(*block);
            } else if (std::holds_alternative<jobfiles::PictPage>(*record)) {
                finish_block();
                next_page();
            } else {
                draw(*record);
            }
            view_.yield();
            if (view_.cancel_requested()) {
                finish_block();
                files_.finish();
                return PassOutcome::cancelled;
            }
        }
        // The file ended without the page's PAGE record: its figures still count.
        finish_block();
        files_.finish();
        tell_missing_pages();
        return PassOutcome::completed;
    } catch (const base::RunTimeError& error) {
        block_.reset();
        canvas_.Bitmap_Drawn = false;
        std::string text = error.description();
        if (!error.context().empty()) text += "\r\n" + error.context();
        text += "\r\n" + std::to_string(page_) + "ページ";
        view_.show_error("Error - Make_MetaFile", text + "\r\n\r\n処理を中止します。");
        return PassOutcome::failed;
    }
}

}  // namespace

/* ---------------------------------------------------------------- Make_MetaFile */
PassOutcome Make_MetaFile(const MetafilePassSettings& settings, std::int16_t first_page,
                          std::int16_t last_page, MetafilePassView& view) {
    MetafilePass pass(settings, first_page, last_page, view);
    return pass.run();
}

}  // namespace graphics
