#include "graphics/bitmap_drawing.h"

#include <algorithm>
#include <new>
#include <string>
#include <system_error>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "jobfiles/numeric.h"
#include "platform/raster/bitmap.h"

namespace graphics {

namespace {

using jobfiles::to_int32;

std::string lower_ascii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Job files name pictures the Windows way, mostly by the full path on the host's machine
// ("C:\PELLORA\pict4.bmp"), which does not exist here: the pictures travel with the job. The
// path as written wins where it exists (a relative one belongs to the job folder); otherwise
// the file of that name in the job folder, whose case Windows never cared about.
std::filesystem::path picture_path(const std::filesystem::path& folder, std::string_view file) {
    std::string name = cp932::to_utf8(file);
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::filesystem::path path(name);
    const std::filesystem::path as_written = path.is_absolute() ? path : folder / path;
    std::error_code error;
    if (std::filesystem::is_regular_file(as_written, error) || path.filename().empty()) {
        return as_written;
    }
    const std::filesystem::path in_folder = folder / path.filename();
    if (std::filesystem::is_regular_file(in_folder, error)) return in_folder;
    const std::string wanted = lower_ascii(path.filename().string());
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (lower_ascii(it->path().filename().string()) == wanted && it->is_regular_file(error)) {
            return it->path();
        }
    }
    return as_written;
}

}  // namespace

/* ---------------------------------------------------------------- BitmapMessageText */
std::string_view BitmapMessageText(BitmapMessage message) {
    switch (message) {
        case BitmapMessage::none:
            return "";
        case BitmapMessage::missing_or_too_large:
            return "BMPファイルが無いか大きい為処理を継続できません";
        case BitmapMessage::too_large_or_ratio_too_small:
            return "BMPファイルが大きいか縮尺率が小さい為処理が継続できません";
    }
    return "";
}

/* ---------------------------------------------------------------- DrawBitmap */
BitmapMessage DrawBitmap(BitmapCanvas& canvas, double x, double y, double w, double h, std::int16_t,
                         std::int16_t, std::string_view file, double block_width,
                         double block_height) {
    raster::Bitmap bitmap;
    try {
        bitmap = raster::load_bmp(picture_path(canvas.picture_folder, file));
    } catch (const base::RunTimeError&) {
        return BitmapMessage::missing_or_too_large;
    } catch (const std::bad_alloc&) {
        return BitmapMessage::missing_or_too_large;
    }
    try {
        raster::Canvas& pic = canvas.Pic2;
        if (!canvas.Bitmap_Drawn) {
            // The block at the first picture's own pixel density (pixels per tenth of a mm).
            pic.resize(to_int32(bitmap.width / (w / 10) * block_width),
                       to_int32(bitmap.height / (h / 10) * block_height));
        }
        const double per_x = pic.width() / block_width;
        const double per_y = pic.height() / block_height;
        pic.stretch_copy(bitmap, to_int32(per_x * x / 10), to_int32(per_y * (-y / 10)),
                         to_int32(per_x * w / 10), to_int32(per_y * h / 10));
    } catch (const base::RunTimeError&) {
        return BitmapMessage::too_large_or_ratio_too_small;
    } catch (const std::bad_alloc&) {
        return BitmapMessage::too_large_or_ratio_too_small;
    }
    canvas.Bitmap_Drawn = true;
    return BitmapMessage::none;
}

}  // namespace graphics
