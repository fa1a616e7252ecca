#include "graphics/block_metafile.h"

#include <utility>

#include "base/run_time_error.h"
#include "base/whole_file.h"

namespace graphics {

namespace {

constexpr emf::COLORREF black = emf::RGB(0, 0, 0);

}  // namespace

/* ---------------------------------------------------------------- BlockMetafile::BlockMetafile */
BlockMetafile::BlockMetafile(DrawingContext& context, std::filesystem::path file,
                             std::int32_t frame_width, std::int32_t frame_height)
    : context_(context), file_(std::move(file)) {
    // One pen of the program's at a time: a second open block would take the first one's pen.
    if (context_.surface != emf::HDC{}) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 "block metafile opened while another is open: " + file_.string());
    }
    emf::Gdi& gdi = context_.gdi;
    context_.surface = gdi.CreateEnhMetaFileA(file_, {0, 0, frame_width, frame_height}, "0");
    open_ = true;
    gdi.SetMapMode(context_.surface, emf::MM_HIMETRIC);
    context_.current_pen = gdi.CreatePen(emf::PS_SOLID, 20, black);
    context_.replaced_pen = gdi.SelectObject(context_.surface, context_.current_pen);
    context_.cached_line_kind = 0;
    context_.cached_width = 2;
    context_.cached_colour = black;
}

/* ---------------------------------------------------------------- BlockMetafile::~BlockMetafile */
BlockMetafile::~BlockMetafile() {
    if (!open_) return;
    close_surface(false);
    // Abandoned while an error is on its way: that error is the one to tell.
    try {
        base::remove_file(file_);
    } catch (const base::RunTimeError&) {
    }
}

/* ---------------------------------------------------------------- BlockMetafile::finish */
std::optional<std::filesystem::path> BlockMetafile::finish() {
    if (!open_) return std::nullopt;
    close_surface(drawn_);
    if (drawn_) return file_;
    // An earlier run's metafile of this block must not be taken for this one's.
    base::remove_file(file_);
    return std::nullopt;
}

/* ---------------------------------------------------------------- BlockMetafile::close_surface */
void BlockMetafile::close_surface(bool write) {
    open_ = false;
    emf::Gdi& gdi = context_.gdi;
    const emf::HDC surface = std::exchange(context_.surface, emf::HDC{});
    gdi.SelectObject(surface, context_.replaced_pen);
    gdi.DeleteObject(std::exchange(context_.current_pen, emf::HPEN{}));
    if (write) {
        gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(surface));
    } else {
        gdi.DiscardEnhMetaFile(surface);
    }
}

}  // namespace graphics
