#include <cmath>

#include "base/cp932.h"
#include "graphics/primitives.h"
#include "jobfiles/numeric.h"

namespace graphics {

namespace {

using jobfiles::to_int32;

// The font selected into the surface for one text call, put back and deleted however the
// call ends.
class TextFont {
  public:
    TextFont(DrawingContext& context, emf::HFONT font)
        : context_(context),
          font_(font),
          displaced_(context.gdi.SelectObject(context.surface, font)) {}
    ~TextFont() { release(); }
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    void replace(emf::HFONT font) {
        release();
        font_ = font;
        context_.gdi.SelectObject(context_.surface, font_);
    }

  private:
    void release() {
        context_.gdi.SelectObject(context_.surface, displaced_);
        context_.gdi.DeleteObject(font_);
    }

    DrawingContext& context_;
    emf::HFONT font_;
    emf::HGDIOBJ displaced_;
};

struct Direction {
    double c;
    double s;
};

Direction direction(double angle) {
    const double radians = angle * (4 * std::atan(1.0)) / 180;
    return {std::cos(radians), std::sin(radians)};
}

}  // namespace

namespace varnel {

/* ---------------------------------------------------------------- varnel::DrawLabelText */
void DrawLabelText(DrawingContext& context, std::string_view text, double x, double y,
                   std::int16_t height, double angle) {
    emf::Gdi& gdi = context.gdi;
    // The glyphs turn the way the characters advance, counter-clockwise on the page: text at
    // 90 degrees reads upwards as on the printout, not glyph by glyph upside down.
    const std::int32_t escapement = to_int32(10 * angle);
    const auto make_font = [&](std::int32_t cell_height) {
        return gdi.CreateFontA(cell_height, 0, escapement, 0, emf::FW_NORMAL, 0, 0, 0,
                               emf::SHIFTJIS_CHARSET, emf::OUT_DEFAULT_PRECIS,
                               emf::CLIP_DEFAULT_PRECIS, emf::DEFAULT_QUALITY, emf::DEFAULT_PITCH,
                               context.Font_Name);
    };
    TextFont font(context, make_font(height));
    gdi.SetBkMode(context.surface, emf::TRANSPARENT);
    const auto [c, s] = direction(angle);
    const std::int32_t half_height = to_int32(height * 0.5);
    int mode = 0;
    std::int32_t bytes = 0;
    double px = x;
    double py = y;
    const std::size_t steps = cp932::char_count(text);
    std::string_view rest = text;
    for (std::size_t step = 0; step < steps && !rest.empty(); ++step) {
        std::string_view character;
        const bool code = rest.size() >= 2 && rest[0] == '$' &&
                          (rest[1] == 'U' || rest[1] == 'S' || rest[1] == 'Z');
        if (code) {
            mode = rest[1] == 'U' ? 1 : rest[1] == 'S' ? 2 : 3;
            rest.remove_prefix(2);
        }
        character = rest.substr(0, cp932::char_length_at(rest, 0));
        rest.remove_prefix(character.size());
        bytes += cp932::AnsiByteLength(character);
        // The reference point is the cell's top-left corner: one height up the cell.
        const double top_x = px - s * height;
        const double top_y = c * height + py;
        if (mode == 1 || mode == 2) {
            font.replace(make_font(half_height));
            gdi.SetBkMode(context.surface, emf::TRANSPARENT);
        } else if (mode == 3) {
            font.replace(make_font(height));
            gdi.SetBkMode(context.surface, emf::TRANSPARENT);
        }
        // Half-size characters hang from the cell's top ($U) or stand on its bottom ($S).
        const double draw_y = mode == 2 ? top_y - height * 0.5 : top_y;
        gdi.TextOutA(context.surface, to_int32(top_x), to_int32(draw_y), character);
        if (mode == 3) mode = 0;
        // Every character advances half the full height per byte, whatever its size.
        px = x + bytes * height * 0.5 * c;
        py = y + bytes * height * 0.5 * s;
    }
}

}  // namespace varnel

namespace sorbel {

/* ---------------------------------------------------------------- sorbel::DrawLabelText */
void DrawLabelText(DrawingContext& context, std::string_view text, double x, double y,
                   std::int16_t height, double angle) {
    emf::Gdi& gdi = context.gdi;
    const TextFont font(
        context, gdi.CreateFontA(height, 0, to_int32(10 * angle), 0, emf::FW_NORMAL, 0, 0, 0,
                                 emf::SHIFTJIS_CHARSET, emf::OUT_CHARACTER_PRECIS,
                                 emf::CLIP_CHARACTER_PRECIS, emf::DEFAULT_QUALITY, emf::FIXED_PITCH,
                                 context.Font_Name));
    gdi.SetTextCharacterExtra(context.surface, 0);
    gdi.SetTextAlign(context.surface, emf::TA_BOTTOM);
    gdi.SetBkMode(context.surface, emf::TRANSPARENT);
    const auto [c, s] = direction(angle);
    std::int32_t px = to_int32(x);
    std::int32_t py = to_int32(y);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view character = text.substr(pos, cp932::char_length_at(text, pos));
        pos += character.size();
        const double step = cp932::AnsiByteLength(character) == 1 ? height / 2.0 : height;
        gdi.TextOutA(context.surface, px, py, character);
        px = to_int32(c * step + px);
        py = to_int32(s * step + py);
    }
}

}  // namespace sorbel

}  // namespace graphics
