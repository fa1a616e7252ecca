#include "platform/emf/gdi.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "base/run_time_error.h"
#include "platform/emf/emf_records.h"
#include "tests/platform/emf/metafile_check.h"

namespace {

namespace fs = std::filesystem;
using namespace emf;
using namespace emf::records;

// A fresh folder per test.
fs::path test_folder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path folder =
        fs::temp_directory_path() / (std::string("emf_") + info->test_suite_name() + "_" +
                                     info->name() + "_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<std::uint8_t> read_bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const RECTL a4_frame{0, 0, 21000, 29700};

TEST(gdi, empty_picture_has_exact_header_and_appears_only_when_closed) {
    const fs::path file = test_folder() / "1.emf";
    Gdi gdi;
    const HDC dc = gdi.CreateEnhMetaFileA(file, a4_frame, "0");
    EXPECT_FALSE(fs::exists(file));
    const HENHMETAFILE picture = gdi.CloseEnhMetaFile(dc);
    EXPECT_TRUE(gdi.DeleteEnhMetaFile(picture));
    EXPECT_FALSE(gdi.DeleteEnhMetaFile(picture));

    const emftest::Metafile m = emftest::load_checked(file);
    // Header 108 + description "0" with two terminators (6 bytes, padded to 8) + EOF 20.
    EXPECT_EQ(m.bytes, 136u);
    EXPECT_EQ(m.records, 2u);
    EXPECT_EQ(m.handles, 1u);
    EXPECT_EQ(m.description, std::u16string(u"0\0\0", 3));
    EXPECT_EQ(m.frame, a4_frame);
    EXPECT_EQ(m.bounds, (RECTL{0, 0, -1, -1}));
    EXPECT_EQ(m.device.cx, 794);
    EXPECT_EQ(m.millimetres.cy, 297);
    EXPECT_EQ(gdi.surface_count(), 0u);
    EXPECT_EQ(gdi.metafile_count(), 0u);
}

TEST(gdi, a_discarded_picture_writes_nothing_and_frees_its_objects) {
    const fs::path file = test_folder() / "2.emf";
    Gdi gdi;
    const HDC dc = gdi.CreateEnhMetaFileA(file, a4_frame, "0");
    const HPEN pen = gdi.CreatePen(PS_SOLID, 20, 0);
    const HGDIOBJ previous = gdi.SelectObject(dc, pen);
    gdi.SelectObject(dc, previous);
    EXPECT_TRUE(gdi.DiscardEnhMetaFile(dc));
    EXPECT_FALSE(gdi.DiscardEnhMetaFile(dc));
    EXPECT_TRUE(gdi.DeleteObject(pen));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(gdi.surface_count(), 0u);
    EXPECT_EQ(gdi.object_count(), 0u);
}

TEST(gdi, bounds_follow_the_metric_mapping_with_y_upwards) {
    const fs::path file = test_folder() / "2.emf";
    Gdi gdi;
    const HDC dc = gdi.CreateEnhMetaFileA(file, a4_frame, "0");
    EXPECT_EQ(gdi.SetMapMode(dc, MM_HIMETRIC), MM_TEXT);
    // 10000 x 5000 hundredths of a millimetre below and right of the origin: 378 x 189 pixels.
    gdi.MoveToEx(dc, 0, 0, nullptr);
    gdi.LineTo(dc, 10000, -5000);
    // A null pen draws nothing and leaves the bounds alone.
    const HPEN none = gdi.CreatePen(PS_NULL, 0, 0);
    const HGDIOBJ black = gdi.SelectObject(dc, none);
    gdi.LineTo(dc, 20000, -20000);
    gdi.SelectObject(dc, black);
    gdi.DeleteObject(none);
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(dc));

    const emftest::Metafile m = emftest::load_checked(file);
    EXPECT_EQ(m.bounds, (RECTL{0, 0, 378, 189}));
    ASSERT_EQ(m.drawings.size(), 2u);
    EXPECT_EQ(m.drawings[0].points[1], (POINTL{10000, -5000}));
    EXPECT_TRUE(m.drawings[0].pen.stock);
    EXPECT_EQ(m.drawings[1].pen.style, static_cast<std::uint32_t>(PS_NULL));
}

TEST(gdi, objects_are_written_on_first_selection_and_free_slots_are_reused) {
    const fs::path file = test_folder() / "3.emf";
    Gdi gdi;
    const HDC dc = gdi.CreateEnhMetaFileA(file, a4_frame, "0");
    const HPEN red = gdi.CreatePen(PS_SOLID, 20, RGB(255, 0, 0));
    const HPEN unused = gdi.CreatePen(PS_DOT, 0, 0);
    const HGDIOBJ stock_pen = gdi.SelectObject(dc, red);
    const HBRUSH hatch = gdi.CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255));
    const HGDIOBJ stock_brush = gdi.SelectObject(dc, hatch);
    EXPECT_EQ(gdi.SelectObject(dc, stock_pen), red);
    EXPECT_EQ(gdi.SelectObject(dc, red), stock_pen);  // written once, selected twice

    // Still selected: GDI refuses, and nothing is written.
    EXPECT_FALSE(gdi.DeleteObject(red));
    gdi.SelectObject(dc, stock_pen);
    EXPECT_TRUE(gdi.DeleteObject(red));
    EXPECT_TRUE(gdi.DeleteObject(unused));  // never selected: leaves no trace
    EXPECT_FALSE(gdi.DeleteObject(red));

    // The new pen takes the slot the red one left.
    const HPEN dashed = gdi.CreatePen(PS_DASH, 0, 0);
    gdi.SelectObject(dc, dashed);
    gdi.MoveToEx(dc, 0, 0, nullptr);
    gdi.LineTo(dc, 100, 100);
    gdi.SelectObject(dc, stock_pen);
    gdi.SelectObject(dc, stock_brush);
    gdi.DeleteObject(dashed);
    gdi.DeleteObject(hatch);
    EXPECT_EQ(gdi.object_count(), 0u);
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(dc));

    const emftest::Metafile m = emftest::load_checked(file);
    EXPECT_EQ(m.count(EMR_CREATEPEN), 2u);
    EXPECT_EQ(m.count(EMR_CREATEBRUSHINDIRECT), 1u);
    EXPECT_EQ(m.count(EMR_DELETEOBJECT), 3u);
    EXPECT_EQ(m.handles, 3u);  // slots 1 and 2, slot 1 used twice
    ASSERT_EQ(m.drawings.size(), 1u);
    EXPECT_EQ(m.drawings[0].pen.style, static_cast<std::uint32_t>(PS_DASH));
    EXPECT_EQ(m.drawings[0].brush.style, BS_HATCHED);
    EXPECT_EQ(m.drawings[0].brush.hatch, static_cast<std::uint32_t>(HS_DIAGCROSS));
    EXPECT_EQ(m.drawings[0].brush.colour, RGB(0, 0, 255));
}

TEST(gdi, text_becomes_utf16_with_advances_by_byte_length_and_character_extra) {
    const fs::path file = test_folder() / "4.emf";
    Gdi gdi;
    const HDC dc = gdi.CreateEnhMetaFileA(file, a4_frame, "0");
    gdi.SetMapMode(dc, MM_HIMETRIC);
    // "ＭＳ 明朝" in CP932.
    const std::string mincho = "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9";
    const HFONT font =
        gdi.CreateFontA(400, 0, -900, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_CHARACTER_PRECIS,
                        CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, mincho);
    const HGDIOBJ system_font = gdi.SelectObject(dc, font);
    EXPECT_EQ(gdi.SetTextCharacterExtra(dc, 5), 0);
    // "A", "漢", half-width "ｱ" and an invalid two-byte pair.
    EXPECT_TRUE(gdi.TextOutA(dc, 1000, -2000, "A\x8a\xbf\xb1\x85\x40"));
    EXPECT_TRUE(gdi.TextOutA(dc, 1000, -2000, ""));
    gdi.SelectObject(dc, system_font);
    gdi.DeleteObject(font);
    // A face longer than a LOGFONTW holds is cut to 31 characters.
    const HFONT long_face = gdi.CreateFontA(100, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0,
                                            0, 0, 0, std::string(40, 'F'));
    gdi.SelectObject(dc, long_face);
    gdi.TextOutA(dc, 0, 0, "x");
    gdi.SelectObject(dc, system_font);
    gdi.DeleteObject(long_face);
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(dc));

    const emftest::Metafile m = emftest::load_checked(file);
    ASSERT_EQ(m.drawings.size(), 2u);
    const emftest::Drawing& text = m.drawings[0];
    EXPECT_EQ(text.text, u"A漢ｱ\uFFFD");
    EXPECT_EQ(text.dx, (std::vector<std::int32_t>{205, 405, 205, 405}));
    EXPECT_EQ(text.points[0], (POINTL{1000, -2000}));
    EXPECT_EQ(text.font.face, u"ＭＳ 明朝");
    EXPECT_EQ(text.font.height, 400);
    EXPECT_EQ(text.font.escapement, -900);
    EXPECT_EQ(text.font.charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(m.drawings[1].font.face, std::u16string(31, u'F'));
    EXPECT_EQ(m.drawings[1].dx, (std::vector<std::int32_t>{55}));
}

TEST(gdi, polygon_takes_the_short_form_only_when_every_point_fits_16_bits) {
    const fs::path file = test_folder() / "5.emf";
    Gdi gdi;
    const HDC dc = gdi.CreateEnhMetaFileA(file, a4_frame, "0");
    gdi.SetMapMode(dc, MM_HIMETRIC);
    const std::vector<POINTL> small{{0, 0}, {32767, -32768}, {100, -50}};
    const std::vector<POINTL> large{{0, 0}, {32768, -100}, {100, -50}};
    EXPECT_TRUE(gdi.Polygon(dc, small));
    EXPECT_TRUE(gdi.Polygon(dc, large));
    EXPECT_FALSE(gdi.Polygon(dc, std::vector<POINTL>{{1, 1}}));
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(dc));

    const emftest::Metafile m = emftest::load_checked(file);
    ASSERT_EQ(m.drawings.size(), 2u);
    EXPECT_EQ(m.drawings[0].type, EMR_POLYGON16);
    EXPECT_EQ(m.drawings[0].points, small);
    EXPECT_EQ(m.drawings[1].type, EMR_POLYGON);
    EXPECT_EQ(m.drawings[1].points, large);
    EXPECT_TRUE(m.drawings[0].brush.stock);  // a new surface fills with the white stock brush
}

TEST(gdi, files_are_complete_or_absent_and_repeatable) {
    const fs::path folder = test_folder();
    Gdi gdi;
    const auto record = [&](const fs::path& file) {
        const HDC dc = gdi.CreateEnhMetaFileA(file, {0, 0, 1000, 2000}, "0");
        gdi.SetMapMode(dc, MM_HIMETRIC);
        gdi.Arc(dc, 0, 0, 1000, -1000, 1000, -500, 500, 0);
        return dc;
    };
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(record(folder / "a.emf")));
    gdi.DeleteEnhMetaFile(gdi.CloseEnhMetaFile(record(folder / "b.emf")));
    EXPECT_EQ(read_bytes(folder / "a.emf"), read_bytes(folder / "b.emf"));
    emftest::load_checked(folder / "a.emf");

    try {
        gdi.CreateEnhMetaFileA(folder / "missing" / "1.emf", a4_frame, "0");
        ADD_FAILURE() << "a missing folder was accepted";
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(base::ErrorNumber::path_not_found));
    }

    // The folder goes away while the picture is recorded: the close fails loudly and leaves
    // neither the file nor a temporary one, and the surface is gone.
    const fs::path doomed = folder / "doomed";
    fs::create_directory(doomed);
    const HDC dc = record(doomed / "c.emf");
    fs::remove_all(doomed);
    EXPECT_THROW(gdi.CloseEnhMetaFile(dc), base::RunTimeError);
    EXPECT_FALSE(fs::exists(doomed));
    EXPECT_EQ(gdi.surface_count(), 0u);
}

}  // namespace
