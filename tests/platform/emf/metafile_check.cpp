#include "tests/platform/emf/metafile_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <variant>

namespace emftest {

namespace {

constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_POLYGON = 3;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t EMR_SETMAPMODE = 17;
constexpr std::uint32_t EMR_SETBKMODE = 18;
constexpr std::uint32_t EMR_SETTEXTALIGN = 22;
constexpr std::uint32_t EMR_MOVETOEX = 27;
constexpr std::uint32_t EMR_SELECTOBJECT = 37;
constexpr std::uint32_t EMR_CREATEPEN = 38;
constexpr std::uint32_t EMR_CREATEBRUSHINDIRECT = 39;
constexpr std::uint32_t EMR_DELETEOBJECT = 40;
constexpr std::uint32_t EMR_ARC = 45;
constexpr std::uint32_t EMR_LINETO = 54;
constexpr std::uint32_t EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr std::uint32_t EMR_EXTTEXTOUTW = 84;
constexpr std::uint32_t EMR_POLYGON16 = 86;
constexpr std::uint32_t stock_flag = 0x80000000;

// Reads little-endian values of one record; reading past its end yields zeros and marks the
// record short, so a bad size never reads outside the file.
class Cursor {
  public:
    Cursor(std::span<const std::uint8_t> bytes, std::size_t offset)
        : bytes_(bytes), offset_(offset) {}

    std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
    emf::POINTL point() {
        const std::int32_t x = i32();
        return {x, i32()};
    }
    emf::RECTL rect() {
        const std::int32_t left = i32();
        const std::int32_t top = i32();
        const std::int32_t right = i32();
        return {left, top, right, i32()};
    }
    std::u16string utf16(std::size_t units) {
        std::u16string text;
        for (std::size_t i = 0; i < units && !short_; ++i) text.push_back(u16());
        return text;
    }
    void seek(std::size_t offset) { offset_ = offset; }
    bool short_read() const { return short_; }

  private:
    std::uint64_t take(std::size_t count) {
        if (offset_ + count > bytes_.size()) {
            short_ = true;
            offset_ = bytes_.size();
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value |= static_cast<std::uint64_t>(bytes_[offset_ + i]) << (8 * i);
        }
        offset_ += count;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_;
    bool short_ = false;
};

using Object = std::variant<Pen, Brush, Font>;

Object stock_object(std::uint32_t number) {
    if (number <= 5) return Brush{0, number == 0 ? 0xFFFFFFu : 0u, 0, true};
    if (number <= 8) return Pen{number == 8 ? 5u : 0u, 0, number == 6 ? 0xFFFFFFu : 0u, true};
    Font font;
    font.stock = true;
    return font;
}

// Plays the records while checking them.
class Player {
  public:
    explicit Player(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    Metafile run() {
        if (bytes_.size() < 8) {
            problem("file shorter than one record");
            return std::move(m_);
        }
        std::size_t offset = 0;
        std::uint32_t max_index = 0;
        bool ended = false;
        while (offset < bytes_.size()) {
            Cursor c(bytes_, offset);
            const std::uint32_t type = c.u32();
            const std::uint32_t size = c.u32();
            m_.types.push_back(type);
            const std::string where = "record " + std::to_string(m_.types.size()) + " (type " +
                                      std::to_string(type) + ")";
            if (ended) problem(where + " follows the EOF record");
            if (size < 8 || size % 4 != 0 || offset + size > bytes_.size()) {
                problem(where + " has a bad size " + std::to_string(size));
                break;
            }
            if ((offset == 0) != (type == EMR_HEADER)) {
                problem(where + ": the header must be the first record and only there");
            }
            record_ = std::span<const std::uint8_t>(bytes_.data() + offset, size);
            where_ = where;
            play(type, size, max_index);
            ended = ended || type == EMR_EOF;
            offset += size;
        }
        if (!ended) problem("no EOF record");
        if (m_.bytes != bytes_.size()) {
            problem("header nBytes " + std::to_string(m_.bytes) + " but the file has " +
                    std::to_string(bytes_.size()));
        }
        if (m_.records != m_.types.size()) {
            problem("header nRecords " + std::to_string(m_.records) + " but the file has " +
                    std::to_string(m_.types.size()));
        }
        if (m_.handles != max_index + 1) {
            problem("header nHandles " + std::to_string(m_.handles) + " but the highest index is " +
                    std::to_string(max_index));
        }
        return std::move(m_);
    }

  private:
    void problem(const std::string& text) { m_.problems.push_back(text); }

    void expect_size(std::uint32_t size, std::uint32_t expected) {
        if (size != expected) {
            problem(where_ + " is " + std::to_string(size) + " bytes, expected " +
                    std::to_string(expected));
        }
    }

    void play(std::uint32_t type, std::uint32_t size, std::uint32_t& max_index) {
        Cursor c(record_, 8);
        switch (type) {
            case EMR_HEADER:
                header(c, size);
                break;
            case EMR_EOF: {
                expect_size(size, 20);
                const std::uint32_t entries = c.u32();
                c.u32();
                if (entries != 0 || c.u32() != size) problem(where_ + ": bad EOF fields");
                break;
            }
            case EMR_SETMAPMODE:
                expect_size(size, 12);
                map_mode_ = c.u32();
                break;
            case EMR_SETBKMODE:
                expect_size(size, 12);
                bk_mode_ = c.u32();
                break;
            case EMR_SETTEXTALIGN:
                expect_size(size, 12);
                text_align_ = c.u32();
                break;
            case EMR_MOVETOEX:
                expect_size(size, 16);
                position_ = c.point();
                break;
            case EMR_LINETO: {
                expect_size(size, 16);
                const emf::POINTL to = c.point();
                Drawing d = drawing(type);
                d.points = {position_, to};
                position_ = to;
                check_inside(d.points, d.pen);
                m_.drawings.push_back(std::move(d));
                break;
            }
            case EMR_ARC: {
                expect_size(size, 40);
                const emf::RECTL box = c.rect();
                Drawing d = drawing(type);
                d.points = {{box.left, box.top}, {box.right, box.bottom}};
                d.points.push_back(c.point());
                d.points.push_back(c.point());
                m_.drawings.push_back(std::move(d));
                break;
            }
            case EMR_POLYGON16:
            case EMR_POLYGON:
                polygon(c, type, size);
                break;
            case EMR_EXTTEXTOUTW:
                text(c, size);
                break;
            case EMR_CREATEPEN: {
                expect_size(size, 28);
                const std::uint32_t index = c.u32();
                Pen pen;
                pen.style = c.u32();
                pen.width = c.point().x;
                pen.colour = c.u32();
                create(index, pen, max_index);
                break;
            }
            case EMR_CREATEBRUSHINDIRECT: {
                expect_size(size, 24);
                const std::uint32_t index = c.u32();
                Brush brush;
                brush.style = c.u32();
                brush.colour = c.u32();
                brush.hatch = c.u32();
                create(index, brush, max_index);
                break;
            }
            case EMR_EXTCREATEFONTINDIRECTW:
                font(c, size, max_index);
                break;
            case EMR_SELECTOBJECT: {
                expect_size(size, 12);
                select(c.u32());
                break;
            }
            case EMR_DELETEOBJECT: {
                expect_size(size, 12);
                remove(c.u32());
                break;
            }
            default:
                problem(where_ + " is of a type this program never writes");
        }
        if (c.short_read()) problem(where_ + " is shorter than its fields");
    }

    void header(Cursor& c, std::uint32_t size) {
        if (size < 88) problem(where_ + ": header shorter than 88 bytes");
        m_.bounds = c.rect();
        m_.frame = c.rect();
        if (c.u32() != 0x464D4520) problem("bad signature");
        if (c.u32() != 0x10000) problem("bad version");
        m_.bytes = c.u32();
        m_.records = c.u32();
        m_.handles = c.u16();
        c.u16();
        const std::uint32_t units = c.u32();
        const std::uint32_t offset = c.u32();
        if (c.u32() != 0) problem("palette entries in a picture without a palette");
        m_.device = {c.i32(), c.i32()};
        m_.millimetres = {c.i32(), c.i32()};
        if (units != 0) {
            if (offset < 88 || offset % 2 != 0 || offset + units * 2ULL > size) {
                problem("description lies outside the header");
            } else {
                Cursor d(record_, offset);
                m_.description = d.utf16(units);
                if (m_.description.size() < 2 || m_.description.back() != u'\0' ||
                    m_.description[m_.description.size() - 2] != u'\0') {
                    problem("description does not end with two terminators");
                }
            }
        }
    }

    Drawing drawing(std::uint32_t type) const {
        Drawing d;
        d.type = type;
        d.pen = std::get<Pen>(selected_[0]);
        d.brush = std::get<Brush>(selected_[1]);
        d.font = std::get<Font>(selected_[2]);
        d.text_align = text_align_;
        d.bk_mode = bk_mode_;
        return d;
    }

    void polygon(Cursor& c, std::uint32_t type, std::uint32_t size) {
        c.rect();
        const std::uint32_t count = c.u32();
        const std::uint32_t point_size = type == EMR_POLYGON16 ? 4 : 8;
        if (count < 2 || 28ULL + static_cast<std::uint64_t>(count) * point_size != size) {
            problem(where_ + ": " + std::to_string(count) + " points do not match the size");
            return;
        }
        Drawing d = drawing(type);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (type == EMR_POLYGON16) {
                const std::int16_t x = c.i16();
                d.points.push_back({x, c.i16()});
            } else {
                d.points.push_back(c.point());
            }
        }
        check_inside(d.points, d.pen);
        m_.drawings.push_back(std::move(d));
    }

    void text(Cursor& c, std::uint32_t size) {
        c.rect();
        const std::uint32_t mode = c.u32();
        if (mode != 1 && mode != 2) problem(where_ + ": bad graphics mode");
        c.u32();
        c.u32();
        Drawing d = drawing(EMR_EXTTEXTOUTW);
        d.points.push_back(c.point());
        const std::uint32_t chars = c.u32();
        const std::uint32_t string_offset = c.u32();
        c.u32();
        c.rect();
        const std::uint32_t dx_offset = c.u32();
        const std::uint64_t string_end = string_offset + 2ULL * chars;
        if (string_offset < 76 || string_end > dx_offset || dx_offset % 4 != 0 ||
            dx_offset + 4ULL * chars != size) {
            problem(where_ + ": text or advances outside the record");
            return;
        }
        c.seek(string_offset);
        d.text = c.utf16(chars);
        c.seek(dx_offset);
        for (std::uint32_t i = 0; i < chars; ++i) d.dx.push_back(c.i32());
        check_inside(d.points, Pen{});
        m_.drawings.push_back(std::move(d));
    }

    void font(Cursor& c, std::uint32_t size, std::uint32_t& max_index) {
        // A plain LogFont or a LogFontPanose.
        if (size != 104 && size != 332) problem(where_ + ": font record of unexpected size");
        const std::uint32_t index = c.u32();
        Font f;
        f.height = c.i32();
        f.width = c.i32();
        f.escapement = c.i32();
        c.i32();
        f.weight = c.i32();
        c.u8();
        c.u8();
        c.u8();
        f.charset = c.u8();
        f.out_precision = c.u8();
        f.clip_precision = c.u8();
        f.quality = c.u8();
        f.pitch_and_family = c.u8();
        const std::u16string face = c.utf16(32);
        const auto end = std::find(face.begin(), face.end(), u'\0');
        if (end == face.end()) problem(where_ + ": face name without terminator");
        f.face.assign(face.begin(), end);
        create(index, f, max_index);
    }

    void create(std::uint32_t index, Object object, std::uint32_t& max_index) {
        if (index == 0 || index >= m_.handles) {
            problem(where_ + ": object index " + std::to_string(index) +
                    " outside the handle table");
        }
        if (table_.contains(index))
            problem(where_ + ": index " + std::to_string(index) + " in use");
        table_[index] = std::move(object);
        max_index = std::max(max_index, index);
    }

    void select(std::uint32_t index) {
        Object object;
        if ((index & stock_flag) != 0) {
            const std::uint32_t number = index & ~stock_flag;
            if (number > 19) problem(where_ + ": unknown stock object " + std::to_string(number));
            object = stock_object(number);
        } else if (const auto found = table_.find(index); found != table_.end()) {
            object = found->second;
        } else {
            problem(where_ + ": selects object " + std::to_string(index) +
                    (deleted_.contains(index) ? " after its deletion" : " never created"));
            return;
        }
        selected_[object.index()] = object;
        selected_index_[object.index()] = index;
    }

    void remove(std::uint32_t index) {
        if (!table_.contains(index)) {
            problem(where_ + ": deletes object " + std::to_string(index) + " that does not exist");
            return;
        }
        if (std::find(selected_index_.begin(), selected_index_.end(), index) !=
            selected_index_.end()) {
            problem(where_ + ": deletes object " + std::to_string(index) + " while selected");
        }
        table_.erase(index);
        deleted_.insert(index);
    }

    // Drawn points must lie within the header's device bounds.
    void check_inside(const std::vector<emf::POINTL>& points, const Pen& pen) {
        if (m_.millimetres.cx <= 0 || m_.millimetres.cy <= 0 || pen.style == 5) return;
        const bool metric = map_mode_ == 3;
        const double sx = metric ? m_.device.cx / (m_.millimetres.cx * 100.0) : 1.0;
        const double sy = metric ? -m_.device.cy / (m_.millimetres.cy * 100.0) : 1.0;
        const double slack = 1.0 + pen.width * std::abs(sx) / 2.0;
        for (const emf::POINTL& p : points) {
            const double x = p.x * sx;
            const double y = p.y * sy;
            if (x < m_.bounds.left - slack || x > m_.bounds.right + slack ||
                y < m_.bounds.top - slack || y > m_.bounds.bottom + slack) {
                problem(where_ + ": point (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                        ") lies outside the header bounds");
            }
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::span<const std::uint8_t> record_;
    std::string where_;
    Metafile m_;
    std::map<std::uint32_t, Object> table_;
    std::set<std::uint32_t> deleted_;
    std::array<Object, 3> selected_{stock_object(7), stock_object(0), stock_object(13)};
    std::array<std::uint32_t, 3> selected_index_{stock_flag | 7, stock_flag, stock_flag | 13};
    std::uint32_t map_mode_ = 1;
    std::uint32_t bk_mode_ = 2;
    std::uint32_t text_align_ = 0;
    emf::POINTL position_;
};

}  // namespace

std::size_t Metafile::count(std::uint32_t type) const {
    return static_cast<std::size_t>(std::count(types.begin(), types.end(), type));
}

Metafile check_metafile(std::span<const std::uint8_t> bytes) {
    return Player(bytes).run();
}

Metafile check_metafile_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Metafile m;
        m.problems.push_back("cannot read " + file.string());
        return m;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    return check_metafile(bytes);
}

Metafile load_checked(const std::filesystem::path& file) {
    Metafile m = check_metafile_file(file);
    for (const std::string& text : m.problems) ADD_FAILURE() << file << ": " << text;
    return m;
}

}  // namespace emftest
