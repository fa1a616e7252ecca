// Placing bitmap files of a block onto the block's canvas, which the Word route inserts
// behind the block's metafile.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/raster/canvas.h"

namespace graphics {

struct BitmapCanvas {
    raster::Canvas Pic2;
    bool Bitmap_Drawn = false;  // a picture was drawn in the open block; the caller clears it
    // The job folder: relative picture names are taken from it, and a picture not found
    // where its path says is looked for in it by its file name, regardless of case.
    std::filesystem::path picture_folder;
};

// What DrawBitmap asks its caller to show in a message box with an OK button.
enum class BitmapMessage {
    none,
    missing_or_too_large,          // the file could not be loaded
    too_large_or_ratio_too_small,  // the canvas could not be sized or drawn on
};

// The message text (UTF-8); empty for none.
std::string_view BitmapMessageText(BitmapMessage message);

// Draws the bitmap `file` (CP932 path) onto the canvas. x, y: the picture's top-left corner
// in metafile units (y negative downwards, already scaled by the caller's font-size ratio);
// w, h: its size in metafile units; block width and height in tenths of a millimetre. The
// block's first picture sizes the canvas to the whole block at that bitmap's own pixel
// density; later ones are stretched to their rectangles at that density. On a message the
// conversion goes on: the canvas keeps what it had and Bitmap_Drawn is unchanged.
BitmapMessage DrawBitmap(BitmapCanvas& canvas, double x, double y, double w, double h,
                         std::int16_t reserved1, std::int16_t reserved2, std::string_view file,
                         double block_width, double block_height);

}  // namespace graphics
