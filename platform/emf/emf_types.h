// Handles, structures and constants of the GDI call set, with the values Windows gives them,
// so that code written against GDI reads the same here.
#pragma once

#include <cstdint>

namespace emf {

// Handles are plain numbers; the zero handle is GDI's NULL (a failed call).
enum class HDC : std::uint32_t {};
enum class HGDIOBJ : std::uint32_t {};
enum class HENHMETAFILE : std::uint32_t {};
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;

// 0x00BBGGRR.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}

struct POINTL {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const POINTL&, const POINTL&) = default;
};

struct RECTL {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const RECTL&, const RECTL&) = default;
};

struct SIZEL {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// Map modes.
inline constexpr int MM_TEXT = 1;
inline constexpr int MM_HIMETRIC = 3;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;

// Brush styles and hatch styles.
inline constexpr std::uint32_t BS_SOLID = 0;
inline constexpr std::uint32_t BS_HATCHED = 2;
inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Text alignment flags.
inline constexpr std::uint32_t TA_TOP = 0;
inline constexpr std::uint32_t TA_LEFT = 0;
inline constexpr std::uint32_t TA_RIGHT = 2;
inline constexpr std::uint32_t TA_CENTER = 6;
inline constexpr std::uint32_t TA_BOTTOM = 8;
inline constexpr std::uint32_t TA_BASELINE = 24;

// What SetTextAlign returns for a handle that is not a surface.
inline constexpr std::uint32_t GDI_ERROR = 0xFFFFFFFF;

// Font creation values.
inline constexpr int FW_NORMAL = 400;
inline constexpr std::uint32_t SHIFTJIS_CHARSET = 128;
inline constexpr std::uint32_t OUT_DEFAULT_PRECIS = 0;
inline constexpr std::uint32_t OUT_CHARACTER_PRECIS = 2;
inline constexpr std::uint32_t CLIP_DEFAULT_PRECIS = 0;
inline constexpr std::uint32_t CLIP_CHARACTER_PRECIS = 1;
inline constexpr std::uint32_t DEFAULT_QUALITY = 0;
inline constexpr std::uint32_t DEFAULT_PITCH = 0;
inline constexpr std::uint32_t FIXED_PITCH = 1;

// Stock objects a new surface starts with; in a metafile they are referred to by
// stock_object_flag | number instead of a handle-table index.
inline constexpr std::uint32_t stock_object_flag = 0x80000000;
inline constexpr std::uint32_t WHITE_BRUSH = 0;
inline constexpr std::uint32_t BLACK_PEN = 7;
inline constexpr std::uint32_t SYSTEM_FONT = 13;

// The fixed reference device every metafile is recorded for: a 96 dpi screen the size of an
// A4 sheet (794 x 1123 pixels, 210 x 297 millimetres). It fixes the header's device fields and
// the device-unit bounds; drawing itself is in the caller's map mode.
inline constexpr SIZEL reference_device_pixels{794, 1123};
inline constexpr SIZEL reference_device_millimetres{210, 297};

}  // namespace emf
