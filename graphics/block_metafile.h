// The metafile one block's figures are recorded into. Whatever stands at its path once the
// object is gone is that block's complete drawing or nothing: a block that drew nothing, or
// whose drawing was given up, leaves no file, not even one an earlier run wrote there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "graphics/drawing_context.h"

namespace graphics {

class BlockMetafile {
  public:
    // Opens `file` on the context's surface with the frame (0, 0, frame_width, frame_height)
    // in 0.01 mm and the description "0", in MM_HIMETRIC, holding the block's pen: solid
    // black, 20 units (0.2 mm) wide, cached as line kind 0, width 2, black. RunTimeError when
    // the folder is missing or the context already has a block open.
    BlockMetafile(DrawingContext& context, std::filesystem::path file, std::int32_t frame_width,
                  std::int32_t frame_height);
    // Gives up a recording that was not finished.
    ~BlockMetafile();
    BlockMetafile(const BlockMetafile&) = delete;
    BlockMetafile& operator=(const BlockMetafile&) = delete;

    // The primitives cannot tell whether a record drew anything: the caller says so.
    void mark_drawn() noexcept { drawn_ = true; }
    bool drawn() const noexcept { return drawn_; }
    const std::filesystem::path& file() const noexcept { return file_; }

    // Puts the surface's own pen back and deletes the block's pen. With something drawn, the
    // file is written and its path returned; otherwise nothing is written and a file left at
    // the path is removed. The surface is closed even when writing fails (RunTimeError). Once
    // only: later calls return nothing.
    std::optional<std::filesystem::path> finish();

  private:
    void close_surface(bool write);

    DrawingContext& context_;
    std::filesystem::path file_;
    bool open_ = false;
    bool drawn_ = false;
};

}  // namespace graphics
