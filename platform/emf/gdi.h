// The graphics device interface calls the figure drawing is written against, recording into
// enhanced metafile files (MS-EMF) instead of a Windows device context.
//
// Calls keep GDI's names, arguments and results: drawing calls on a handle that is not an open
// surface do nothing and return false or 0, objects are independent of surfaces, SelectObject
// returns the object it displaced, and an object selected into an open surface cannot be
// deleted. Unlike GDI, file trouble is not silent: a metafile whose folder is missing, or that
// cannot be written, raises base::RunTimeError.
//
// Every surface records for the fixed reference device of emf_types.h. An object reaches a
// file when it is first selected into that surface and takes the lowest free slot of the
// file's handle table; deleting it frees the slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

#include "base/work_file_writer.h"
#include "platform/emf/emf_types.h"

namespace emf {

class Gdi {
  public:
    Gdi();
    ~Gdi();
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    // A recording surface for `file` with the frame rectangle in 0.01 mm (as the caller's
    // picture will be sized) and a description (CP932). Nothing is written until
    // CloseEnhMetaFile. A missing folder raises RunTimeError (path not found).
    HDC CreateEnhMetaFileA(const std::filesystem::path& file, const RECTL& frame,
                           std::string_view description);
    // Writes the file atomically and ends the surface; the returned handle only stands for the
    // finished picture. A write failure raises RunTimeError; the surface is gone either way and
    // no partial file is left.
    HENHMETAFILE CloseEnhMetaFile(HDC surface);
    // From now on CloseEnhMetaFile hands its file to `writer` (which must outlive the surfaces
    // closed) instead of writing it before it returns: for a caller that waits for the writer
    // before the files are read. Write failures then come from the writer.
    void DeferFileWrites(base::WorkFileWriter* writer) noexcept;
    bool DeleteEnhMetaFile(HENHMETAFILE metafile);
    // Ends a surface without writing its file: for a picture that turned out to hold nothing.
    // False for a handle that is not an open surface.
    bool DiscardEnhMetaFile(HDC surface);

    // MM_TEXT or MM_HIMETRIC; returns the previous mode, 0 for another mode.
    int SetMapMode(HDC surface, int mode);

    // Styles PS_SOLID to PS_NULL; width in logical units, 0 (or less) is one device pixel.
    HPEN CreatePen(int style, int width, COLORREF colour);
    HBRUSH CreateSolidBrush(COLORREF colour);
    // Styles HS_HORIZONTAL to HS_DIAGCROSS.
    HBRUSH CreateHatchBrush(int style, COLORREF colour);
    // The face name is CP932 and is kept to the 31 characters a LOGFONTW holds.
    HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                      std::uint32_t italic, std::uint32_t underline, std::uint32_t strike_out,
                      std::uint32_t charset, std::uint32_t out_precision,
                      std::uint32_t clip_precision, std::uint32_t quality,
                      std::uint32_t pitch_and_family, std::string_view face);
    HGDIOBJ SelectObject(HDC surface, HGDIOBJ object);
    // False for an unknown handle or an object still selected into an open surface.
    bool DeleteObject(HGDIOBJ object);

    int SetBkMode(HDC surface, int mode);
    std::uint32_t SetTextAlign(HDC surface, std::uint32_t align);
    // Kept by the surface and added to every character's advance of later text.
    int SetTextCharacterExtra(HDC surface, int extra);
    // CP932 bytes; each character advances by half the font height when it is one byte and by
    // the full height when it is two, plus the character extra.
    bool TextOutA(HDC surface, int x, int y, std::string_view text);

    bool MoveToEx(HDC surface, int x, int y, POINTL* previous);
    bool LineTo(HDC surface, int x, int y);
    bool Arc(HDC surface, int left, int top, int right, int bottom, int x_start, int y_start,
             int x_end, int y_end);
    // At least two points.
    bool Polygon(HDC surface, std::span<const POINTL> points);

    // What is still held: created objects not deleted, surfaces not closed, metafile handles
    // not deleted. A program that releases what it acquires ends with all three at zero.
    std::size_t object_count() const noexcept;
    std::size_t surface_count() const noexcept;
    std::size_t metafile_count() const noexcept;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace emf
