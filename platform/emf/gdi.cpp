#include "platform/emf/gdi.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "base/work_file_writer.h"
#include "platform/emf/device_bounds.h"
#include "platform/emf/emf_records.h"

namespace emf {

namespace {

using records::LogBrush;
using records::LogFont;
using records::LogPen;
using GdiObject = std::variant<LogPen, LogBrush, LogFont>;

// Selection slots of a surface, by the object's kind (the variant's index).
constexpr std::size_t pen_slot = 0;
constexpr std::size_t brush_slot = 1;
constexpr std::size_t font_slot = 2;

constexpr HGDIOBJ stock_handle(std::uint32_t number) {
    return HGDIOBJ{stock_object_flag | number};
}

bool is_stock(HGDIOBJ object) {
    return (static_cast<std::uint32_t>(object) & stock_object_flag) != 0;
}

// The kind of the stock objects a surface starts with; other stock numbers are unknown here.
std::optional<std::size_t> stock_kind(HGDIOBJ object) {
    switch (static_cast<std::uint32_t>(object) & ~stock_object_flag) {
        case BLACK_PEN:
            return pen_slot;
        case WHITE_BRUSH:
            return brush_slot;
        case SYSTEM_FONT:
            return font_slot;
        default:
            return std::nullopt;
    }
}

struct Surface {
    std::filesystem::path file;
    RECTL frame;
    std::u16string description;
    int map_mode = MM_TEXT;
    int bk_mode = OPAQUE;
    std::uint32_t text_align = TA_TOP | TA_LEFT;
    int char_extra = 0;
    POINTL position;
    std::array<HGDIOBJ, 3> selected{stock_handle(BLACK_PEN), stock_handle(WHITE_BRUSH),
                                    stock_handle(SYSTEM_FONT)};
    // Objects written to this file and their handle-table index; index 0 is the file's own.
    std::map<HGDIOBJ, std::uint32_t> table;
    std::vector<bool> index_in_use{true};
    records::RecordStream records;
    DeviceExtent extent;

    DeviceMapping mapping() const { return DeviceMapping(map_mode); }

    std::uint32_t take_free_index() {
        const auto free = std::find(index_in_use.begin(), index_in_use.end(), false);
        const auto index = static_cast<std::uint32_t>(free - index_in_use.begin());
        if (free == index_in_use.end()) {
            index_in_use.push_back(true);
        } else {
            *free = true;
        }
        return index;
    }
};

}  // namespace

struct Gdi::State {
    std::uint32_t last_handle = 0;
    std::map<HGDIOBJ, GdiObject> objects;
    std::map<HDC, Surface> surfaces;
    std::set<HENHMETAFILE> metafiles;
    base::WorkFileWriter* deferred_writes = nullptr;

    std::uint32_t next_handle() { return ++last_handle; }

    Surface* surface(HDC handle) {
        const auto found = surfaces.find(handle);
        return found == surfaces.end() ? nullptr : &found->second;
    }

    HGDIOBJ add(GdiObject object) {
        const HGDIOBJ handle{next_handle()};
        objects.emplace(handle, std::move(object));
        return handle;
    }

    const GdiObject* object(HGDIOBJ handle) const {
        const auto found = objects.find(handle);
        return found == objects.end() ? nullptr : &found->second;
    }

    // Half the width of the selected pen's line in logical units; none for a null pen.
    std::optional<double> outline_half_width(const Surface& s) const {
        const GdiObject* pen = object(s.selected[pen_slot]);
        if (pen == nullptr) return 0.0;  // the stock black pen: one device pixel
        const LogPen& log = std::get<LogPen>(*pen);
        if (log.style == PS_NULL) return std::nullopt;
        return log.width / 2.0;
    }

    // The selected font's cell height in logical units (0 for the stock font) and escapement.
    std::pair<std::int32_t, std::int32_t> font_height_and_escapement(const Surface& s) const {
        const GdiObject* font = object(s.selected[font_slot]);
        if (font == nullptr) return {0, 0};
        const LogFont& log = std::get<LogFont>(*font);
        return {std::abs(log.height), log.escapement};
    }
};

Gdi::Gdi() : state_(std::make_unique<State>()) {}

Gdi::~Gdi() = default;

/* ---------------------------------------------------------------- Gdi::CreateEnhMetaFileA */
HDC Gdi::CreateEnhMetaFileA(const std::filesystem::path& file, const RECTL& frame,
                            std::string_view description) {
    const std::filesystem::path folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    if (base::path_kind(folder) != base::PathKind::folder) {
        throw base::RunTimeError(base::ErrorNumber::path_not_found, "metafile " + file.string());
    }
    Surface surface;
    surface.file = file;
    surface.frame = frame;
    if (!description.empty()) {
        // The description ends with its own terminator and the empty string that closes the
        // list of strings.
        surface.description = cp932::to_utf16(description);
        surface.description.append(2, u'\0');
    }
    const HDC handle{state_->next_handle()};
    state_->surfaces.emplace(handle, std::move(surface));
    return handle;
}

/* ---------------------------------------------------------------- Gdi::CloseEnhMetaFile */
HENHMETAFILE Gdi::CloseEnhMetaFile(HDC surface) {
    const auto found = state_->surfaces.find(surface);
    if (found == state_->surfaces.end()) return HENHMETAFILE{};
    const Surface s = std::move(found->second);
    state_->surfaces.erase(found);
    records::HeaderFields header;
    header.bounds = s.extent.rect();
    header.frame = s.frame;
    header.handles = static_cast<std::uint16_t>(s.index_in_use.size());
    header.description = s.description;
    header.device = reference_device_pixels;
    header.millimetres = reference_device_millimetres;
    const std::vector<std::uint8_t> bytes = s.records.finish(header);
    if (state_->deferred_writes != nullptr) {
        state_->deferred_writes->write(s.file, std::string(bytes.begin(), bytes.end()));
    } else {
        base::replace_file(s.file, bytes, base::Durability::renamed);
    }
    const HENHMETAFILE handle{state_->next_handle()};
    state_->metafiles.insert(handle);
    return handle;
}

/* ---------------------------------------------------------------- Gdi::DeferFileWrites */
void Gdi::DeferFileWrites(base::WorkFileWriter* writer) noexcept {
    state_->deferred_writes = writer;
}

/* ---------------------------------------------------------------- Gdi::DeleteEnhMetaFile */
bool Gdi::DeleteEnhMetaFile(HENHMETAFILE metafile) {
    return state_->metafiles.erase(metafile) == 1;
}

/* ---------------------------------------------------------------- Gdi::DiscardEnhMetaFile */
bool Gdi::DiscardEnhMetaFile(HDC surface) {
    return state_->surfaces.erase(surface) == 1;
}

/* ---------------------------------------------------------------- Gdi::SetMapMode */
int Gdi::SetMapMode(HDC surface, int mode) {
    Surface* s = state_->surface(surface);
    if (s == nullptr || (mode != MM_TEXT && mode != MM_HIMETRIC)) return 0;
    s->records.add_value(records::EMR_SETMAPMODE, static_cast<std::uint32_t>(mode));
    return std::exchange(s->map_mode, mode);
}

/* ---------------------------------------------------------------- Gdi::CreatePen */
HPEN Gdi::CreatePen(int style, int width, COLORREF colour) {
    if (style < PS_SOLID || style > PS_NULL) return HPEN{};
    return state_->add(LogPen{static_cast<std::uint32_t>(style), std::max(width, 0), colour});
}

/* ---------------------------------------------------------------- Gdi::CreateSolidBrush */
HBRUSH Gdi::CreateSolidBrush(COLORREF colour) {
    return state_->add(LogBrush{BS_SOLID, colour, 0});
}

/* ---------------------------------------------------------------- Gdi::CreateHatchBrush */
HBRUSH Gdi::CreateHatchBrush(int style, COLORREF colour) {
    if (style < HS_HORIZONTAL || style > HS_DIAGCROSS) return HBRUSH{};
    return state_->add(LogBrush{BS_HATCHED, colour, static_cast<std::uint32_t>(style)});
}

/* ---------------------------------------------------------------- Gdi::CreateFontA */
HFONT Gdi::CreateFontA(int height, int width, int escapement, int orientation, int weight,
                       std::uint32_t italic, std::uint32_t underline, std::uint32_t strike_out,
                       std::uint32_t charset, std::uint32_t out_precision,
                       std::uint32_t clip_precision, std::uint32_t quality,
                       std::uint32_t pitch_and_family, std::string_view face) {
    // LOGFONT keeps these as bytes.
    const auto byte = [](std::uint32_t value) { return static_cast<std::uint8_t>(value); };
    LogFont font{height,
                 width,
                 escapement,
                 orientation,
                 weight,
                 byte(italic),
                 byte(underline),
                 byte(strike_out),
                 byte(charset),
                 byte(out_precision),
                 byte(clip_precision),
                 byte(quality),
                 byte(pitch_and_family),
                 cp932::to_utf16(face)};
    if (font.face.size() >= records::face_name_units) {
        font.face.resize(records::face_name_units - 1);
    }
    return state_->add(std::move(font));
}

/* ---------------------------------------------------------------- Gdi::SelectObject */
HGDIOBJ Gdi::SelectObject(HDC surface, HGDIOBJ object) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return HGDIOBJ{};
    std::uint32_t index = 0;
    std::size_t kind = 0;
    if (is_stock(object)) {
        const auto stock = stock_kind(object);
        if (!stock) return HGDIOBJ{};
        kind = *stock;
        index = static_cast<std::uint32_t>(object);
    } else {
        const GdiObject* created = state_->object(object);
        if (created == nullptr) return HGDIOBJ{};
        kind = created->index();
        const auto written = s->table.find(object);
        if (written != s->table.end()) {
            index = written->second;
        } else {
            index = s->take_free_index();
            s->table.emplace(object, index);
            std::visit(
                [&](const auto& log) {
                    using Log = std::decay_t<decltype(log)>;
                    if constexpr (std::is_same_v<Log, LogPen>) {
                        s->records.add_create_pen(index, log);
                    } else if constexpr (std::is_same_v<Log, LogBrush>) {
                        s->records.add_create_brush(index, log);
                    } else {
                        s->records.add_create_font(index, log);
                    }
                },
                *created);
        }
    }
    s->records.add_value(records::EMR_SELECTOBJECT, index);
    return std::exchange(s->selected[kind], object);
}

/* ---------------------------------------------------------------- Gdi::DeleteObject */
bool Gdi::DeleteObject(HGDIOBJ object) {
    if (is_stock(object)) return stock_kind(object).has_value();
    if (state_->object(object) == nullptr) return false;
    for (const auto& [handle, s] : state_->surfaces) {
        if (std::find(s.selected.begin(), s.selected.end(), object) != s.selected.end()) {
            return false;
        }
    }
    for (auto& [handle, s] : state_->surfaces) {
        const auto written = s.table.find(object);
        if (written == s.table.end()) continue;
        s.records.add_value(records::EMR_DELETEOBJECT, written->second);
        s.index_in_use[written->second] = false;
        s.table.erase(written);
    }
    state_->objects.erase(object);
    return true;
}

/* ---------------------------------------------------------------- Gdi::SetBkMode */
int Gdi::SetBkMode(HDC surface, int mode) {
    Surface* s = state_->surface(surface);
    if (s == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    s->records.add_value(records::EMR_SETBKMODE, static_cast<std::uint32_t>(mode));
    return std::exchange(s->bk_mode, mode);
}

/* ---------------------------------------------------------------- Gdi::SetTextAlign */
std::uint32_t Gdi::SetTextAlign(HDC surface, std::uint32_t align) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return GDI_ERROR;
    s->records.add_value(records::EMR_SETTEXTALIGN, align);
    return std::exchange(s->text_align, align);
}

/* ---------------------------------------------------------------- Gdi::SetTextCharacterExtra */
int Gdi::SetTextCharacterExtra(HDC surface, int extra) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return static_cast<int>(0x80000000U);
    // A metafile has no record for it: the extra goes into the advances of later text.
    return std::exchange(s->char_extra, extra);
}

/* ---------------------------------------------------------------- Gdi::TextOutA */
bool Gdi::TextOutA(HDC surface, int x, int y, std::string_view text) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return false;
    if (text.empty()) return true;
    const auto [height, escapement] = state_->font_height_and_escapement(*s);
    std::vector<std::int32_t> dx;
    std::int64_t advance = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = cp932::char_length_at(text, pos);
        dx.push_back((length == 1 ? height / 2 : height) + s->char_extra);
        advance += dx.back();
        pos += length;
    }
    const POINTL reference{x, y};
    const DeviceMapping mapping = s->mapping();
    const DeviceExtent extent = text_extent(mapping, reference, static_cast<double>(advance),
                                            height, escapement, s->text_align);
    s->records.add_text(extent.rect(), mapping.hundredths_of_mm_x(), mapping.hundredths_of_mm_y(),
                        reference, cp932::to_utf16(text), dx);
    s->extent.add(extent);
    return true;
}

/* ---------------------------------------------------------------- Gdi::MoveToEx */
bool Gdi::MoveToEx(HDC surface, int x, int y, POINTL* previous) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return false;
    if (previous != nullptr) *previous = s->position;
    s->position = {x, y};
    s->records.add_point(records::EMR_MOVETOEX, s->position);
    return true;
}

/* ---------------------------------------------------------------- Gdi::LineTo */
bool Gdi::LineTo(HDC surface, int x, int y) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return false;
    const std::array<POINTL, 2> ends{s->position, POINTL{x, y}};
    if (const auto half_width = state_->outline_half_width(*s)) {
        s->extent.add(points_extent(s->mapping(), ends, *half_width));
    }
    s->records.add_point(records::EMR_LINETO, ends[1]);
    s->position = ends[1];
    return true;
}

/* ---------------------------------------------------------------- Gdi::Arc */
bool Gdi::Arc(HDC surface, int left, int top, int right, int bottom, int x_start, int y_start,
              int x_end, int y_end) {
    Surface* s = state_->surface(surface);
    if (s == nullptr) return false;
    const RECTL box{left, top, right, bottom};
    if (const auto half_width = state_->outline_half_width(*s)) {
        s->extent.add(arc_extent(s->mapping(), box, *half_width));
    }
    s->records.add_arc(box, {x_start, y_start}, {x_end, y_end});
    return true;
}

/* ---------------------------------------------------------------- Gdi::Polygon */
bool Gdi::Polygon(HDC surface, std::span<const POINTL> points) {
    Surface* s = state_->surface(surface);
    if (s == nullptr || points.size() < 2) return false;
    // Without an outline the fill still covers the points.
    const double half_width = state_->outline_half_width(*s).value_or(0.0);
    const DeviceExtent extent = points_extent(s->mapping(), points, half_width);
    s->records.add_polygon(extent.rect(), points);
    s->extent.add(extent);
    return true;
}

/* ---------------------------------------------------------------- Gdi counts */
std::size_t Gdi::object_count() const noexcept {
    return state_->objects.size();
}

std::size_t Gdi::surface_count() const noexcept {
    return state_->surfaces.size();
}

std::size_t Gdi::metafile_count() const noexcept {
    return state_->metafiles.size();
}

}  // namespace emf
