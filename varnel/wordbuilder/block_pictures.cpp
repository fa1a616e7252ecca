#include "varnel/wordbuilder/block_pictures.h"

#include "jobfiles/numeric.h"

namespace wordbuilder {

/* ---------------------------------------------------------------- BlockPictures::meta_file */
std::filesystem::path BlockPictures::meta_file(const std::string& name) const {
    return settings_.job_dir / "META_FILE" / name;
}

/* ---------------------------------------------------------------- BlockPictures::block_frame */
emf::RECTL BlockPictures::block_frame(double x1, double y1, double x2, double y2) const {
    emf::RECTL frame{};
    frame.right = jobfiles::to_int32((x2 - x1) * 10);
    frame.bottom = jobfiles::to_int32((y2 - y1) * 10 * static_cast<double>(FontSizeRatio));
    return frame;
}

/* ---------------------------------------------------------------- BlockPictures::place_of_block
 */
PicturePlace BlockPictures::place_of_block(double x1, double y1, double x2, double y2) const {
    // The block's offset inside the margins scales with the font-size ratio; the margins and
    // the block's width do not.
    const double F = static_cast<double>(FontSizeRatio);
    const double Lm = settings_.Margin_Left;
    const double Tm = settings_.Margin_Top;
    auto points = [](double millimetres) {
        return word::MillimetersToPoints(static_cast<float>(millimetres));
    };
    PicturePlace place;
    place.left = points((x1 - Lm) * 0.1 * F + Lm * 0.1);
    place.top = points((y1 - Tm) * 0.1 * F + Tm * 0.1);
    place.width = points((x2 - x1) * 0.1);
    place.height = points((y2 - y1) * 0.1 * F);
    return place;
}

/* ---------------------------------------------------------------- BlockPictures::add_picture */
void BlockPictures::add_picture(const OutputPlace& output, const std::filesystem::path& file,
                                const PicturePlace& place, float top) const {
    word::Shape shape = output.document.Shapes().AddPicture(file, false, true, 0, 0, place.width,
                                                            place.height, output.range);
    shape.WrapFormat().Type(word::wdWrapNone);
    shape.RelativeHorizontalPosition(word::wdRelativeHorizontalPositionPage);
    shape.RelativeVerticalPosition(word::wdRelativeVerticalPositionPage);
    shape.Left(place.left);
    shape.Top(top);
    shape.ZOrder(word::msoSendBehindText);
}

}  // namespace wordbuilder
