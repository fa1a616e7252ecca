// Block figures of the Word route: what each record becomes in the block's metafile, and how
// the finished metafiles (and bitmap canvases) float behind the text of their pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "page_graphics_job.h"
#include "platform/emf/emf_records.h"
#include "tests/platform/emf/metafile_check.h"

namespace {

using namespace wordbuilder::testing;
using emf::records::EMR_ARC;
using emf::records::EMR_CREATEPEN;
using emf::records::EMR_DELETEOBJECT;
using emf::records::EMR_EXTCREATEFONTINDIRECTW;
using emf::records::EMR_EXTTEXTOUTW;
using emf::records::EMR_LINETO;
using wordbuilder::WordRunOutcome;

constexpr double mm_tolerance = 0.002;

std::string first_message(const RecordingProgress& progress) {
    return progress.messages.empty() ? "" : progress.messages.front();
}

std::vector<emftest::Drawing> of_type(const emftest::Metafile& m, std::uint32_t type) {
    std::vector<emftest::Drawing> out;
    std::copy_if(m.drawings.begin(), m.drawings.end(), std::back_inserter(out),
                 [&](const emftest::Drawing& d) { return d.type == type; });
    return out;
}

void expect_point(const emf::POINTL& p, std::int32_t x, std::int32_t y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}

// One page: a block of text at (300, 400)-(1300, 800) whose figure is a single diagonal line.
const char* const one_block_text =
    "PAGE,0\n"
    "BLOCK,1,300,400,1300,800,0,0\n"
    "LABEL,300,37.04,0,0,\"本文\"\n"
    "PAGE,1\n";
const char* const one_block_pict =
    "PRN_PICT,1\n"
    "BLOCK,1,300,400,1300,800,0,0\n"
    "LINE,0,0,1000,400,0,2\n"
    "PAGE\n";

TEST(page_graphics, a_line_block_floats_behind_the_text_at_the_block_place) {
    GraphicsJob job("place", 1);
    ASSERT_EQ(job.convert(one_block_text, one_block_pict), WordRunOutcome::completed)
        << first_message(job.progress);
    const auto pictures = job.pictures();
    ASSERT_EQ(pictures.size(), 1u);
    const FloatingPicture& p = pictures[0];
    EXPECT_EQ(p.page, 1);
    EXPECT_TRUE(p.behind_text);
    EXPECT_EQ(p.wrap, "None");
    EXPECT_EQ(p.horizontal_from, "page");
    EXPECT_EQ(p.vertical_from, "page");
    // x1 = 300 with a 200 margin and a font-size ratio of 1: 30 mm from the paper's edge.
    EXPECT_NEAR(p.left_mm, 30, mm_tolerance);
    EXPECT_NEAR(p.top_mm, 40, mm_tolerance);
    EXPECT_NEAR(p.width_mm, 100, mm_tolerance);
    EXPECT_NEAR(p.height_mm, 40, mm_tolerance);
    EXPECT_EQ(p.media, "emf");

    const auto m = emftest::load_checked(job.metafile(1));
    EXPECT_EQ(m.frame.right, 10000);
    EXPECT_EQ(m.frame.bottom, 4000);
    const auto lines = of_type(m, EMR_LINETO);
    ASSERT_EQ(lines.size(), 1u);
    expect_point(lines[0].points[0], 0, 0);
    expect_point(lines[0].points[1], 10000, -4000);
}

TEST(page_graphics, a_rounded_font_size_scales_heights_and_offsets_but_not_widths) {
    GraphicsJob job("ratio", 1);
    // Word applies 10.5 points for 10.3: the ratio is 10.5 / 10.3.
    job.settings.Char_Size = 10.3f;
    ASSERT_EQ(job.convert(one_block_text, one_block_pict), WordRunOutcome::completed)
        << first_message(job.progress);
    const double F = 10.5 / 10.3;
    const auto pictures = job.pictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_NEAR(pictures[0].left_mm, 10 * F + 20, mm_tolerance);
    EXPECT_NEAR(pictures[0].top_mm, 20 * F + 20, mm_tolerance);
    EXPECT_NEAR(pictures[0].width_mm, 100, mm_tolerance);
    EXPECT_NEAR(pictures[0].height_mm, 40 * F, mm_tolerance);

    const auto m = emftest::load_checked(job.metafile(1));
    EXPECT_EQ(m.frame.right, 10000);
    EXPECT_EQ(m.frame.bottom, 4078);
    const auto lines = of_type(m, EMR_LINETO);
    ASSERT_EQ(lines.size(), 1u);
    expect_point(lines[0].points[1], 10194, -4078);
}

TEST(page_graphics, records_reach_the_metafile_in_its_units_with_their_pens_and_fonts) {
    GraphicsJob job("records", 1);
    const std::string text =
        "PAGE,0\n"
        "BLOCK,1,200,200,1900,700,0,0\n"
        "LABEL,200,37.04,0,0,\"図\"\n"
        "PAGE,1\n";
    const std::string pict =
        "PRN_PICT,1\n"
        "BLOCK,1,200,200,1900,700,0,0\n"
        // The block's own pen serves kind 0, width 2; kind 1 then serves the line and the arc.
        "LINE,10,20,110,20,0,2\n"
        "LINE,10,30,110,30,0,2\n"
        "LINE,10,40,110,40,1,5\n"
        "CIRCLE,100,100,50,25,0,90,1,5\n"
        "CIRCLE,100,100,50,25,0,90,2,5\n"
        "LINE,10,50,110,50,7,3\n"
        "LABEL,10,150,100,0,0,\"$UAB$ZC\"\n"
        "LABEL,10,200,100,0,90,\"縦\"\n"
        "LABEL,10,250,100,0,0,\"\"\n"
        "PAGE\n";
    ASSERT_EQ(job.convert(text, pict), WordRunOutcome::completed) << first_message(job.progress);
    const auto m = emftest::load_checked(job.metafile(1));

    const auto lines = of_type(m, EMR_LINETO);
    ASSERT_EQ(lines.size(), 4u);
    expect_point(lines[0].points[0], 100, -200);
    expect_point(lines[0].points[1], 1100, -200);
    EXPECT_EQ(lines[1].pen.style, emf::PS_SOLID);
    EXPECT_EQ(lines[1].pen.width, 20);
    EXPECT_EQ(lines[2].pen.style, emf::PS_DOT);
    EXPECT_EQ(lines[2].pen.width, 0);
    EXPECT_EQ(lines[3].pen.style, emf::PS_SOLID);
    EXPECT_EQ(lines[3].pen.width, 30);

    const auto arcs = of_type(m, EMR_ARC);
    ASSERT_EQ(arcs.size(), 2u);
    // Box, then the radial points at 0 and 90 degrees: east, then north on the page.
    expect_point(arcs[0].points[0], 500, -750);
    expect_point(arcs[0].points[1], 1500, -1250);
    expect_point(arcs[0].points[2], 1500, -1000);
    expect_point(arcs[0].points[3], 1000, -750);
    EXPECT_EQ(arcs[0].pen.style, emf::PS_DOT);
    EXPECT_EQ(arcs[1].pen.style, emf::PS_DASH);
    // The block's pen and three more: the second kind-1 figure made no pen of its own.
    EXPECT_EQ(m.count(EMR_CREATEPEN), 4u);

    // 10 points is 35 tenths of a millimetre, 350 units; "$U" halves it until "$Z", and every
    // character advances by half the full height from the cell's top-left corner.
    const auto texts = of_type(m, EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, u"A");
    EXPECT_EQ(texts[0].font.height, 175);
    expect_point(texts[0].points[0], 100, -1150);
    EXPECT_EQ(texts[1].font.height, 175);
    expect_point(texts[1].points[0], 275, -1150);
    EXPECT_EQ(texts[2].text, u"C");
    EXPECT_EQ(texts[2].font.height, 350);
    expect_point(texts[2].points[0], 450, -1150);
    EXPECT_EQ(texts[3].text, u"縦");
    EXPECT_EQ(texts[3].font.escapement, 900);
    // Every pen and font made for the block is deleted within it, the empty text's too.
    EXPECT_EQ(m.count(EMR_CREATEPEN) + m.count(EMR_EXTCREATEFONTINDIRECTW),
              m.count(EMR_DELETEOBJECT));
}

TEST(page_graphics, polygons_are_drawn_filled_as_in_the_workbook) {
    // A bar of a chart and a star mark: the Word route no longer leaves them out.
    GraphicsJob job("polygons", 1);
    const std::string text = "PAGE,0\nBLOCK,1,200,200,1900,700,0,0\nPAGE,1\n";
    const std::string pict =
        "PRN_PICT,1\n"
        "BLOCK,1,200,200,1900,700,0,0\n"
        "POLYGON,4,0,2,1,0,&H0000FF,16711680,10,100\n20,100\n20,50\n10,50\n"
        "POLYGON,3,1,0,7,0,0,255,30,100,40,100,35,90\n"
        "PAGE\n";
    ASSERT_EQ(job.convert(text, pict), WordRunOutcome::completed) << first_message(job.progress);
    const auto m = emftest::load_checked(job.metafile(1));
    std::vector<emftest::Drawing> polygons;
    for (const auto& d : m.drawings) {
        if (d.type == emf::records::EMR_POLYGON16) polygons.push_back(d);
    }
    ASSERT_EQ(polygons.size(), 2u);
    ASSERT_EQ(polygons[0].points.size(), 4u);
    expect_point(polygons[0].points[0], 100, -1000);
    expect_point(polygons[0].points[2], 200, -500);
    EXPECT_EQ(polygons[0].pen.colour, 0x0000FFu);
    EXPECT_EQ(polygons[0].brush.style, emf::BS_SOLID);
    EXPECT_EQ(polygons[0].brush.colour, 0xFF0000u);
    EXPECT_EQ(polygons[1].pen.style, emf::PS_DOT);
    EXPECT_EQ(polygons[1].brush.style, emf::BS_HATCHED);
    EXPECT_EQ(polygons[1].brush.hatch, static_cast<std::uint32_t>(emf::HS_DIAGCROSS));
}

TEST(page_graphics, a_picture_named_by_a_windows_path_is_found_in_the_job_folder) {
    // The host writes where the bitmap was on its own machine; the file came with the job,
    // its name in another case.
    GraphicsJob job("windows_path", 1);
    std::filesystem::copy_file(mark_bmp(), job.path() / "PICT4.bmp");
    const std::string text =
        "PAGE,0\nBLOCK,1,200,200,1200,600,0,0\nLABEL,200,37.04,0,0,\"ロゴ\"\nPAGE,1\n";
    const std::string pict =
        "PRN_PICT,1\nBLOCK,1,200,200,1200,600,0,0\n"
        "PICTURE,100,50,200,100,0,0,\"C:\\PELLORA\\pict4.bmp\"\n"
        "PICTURE,100,50,200,100,0,0,\"C:\\PELLORA\\pict5.bmp\"\n"
        "PAGE\n";
    ASSERT_EQ(job.convert(text, pict), WordRunOutcome::completed);
    EXPECT_EQ(job.progress.messages,
              std::vector<std::string>{"|BMPファイルが無いか大きい為処理を継続できません\n"
                                       "ファイル: C:\\PELLORA\\pict5.bmp（1ページ）"});
    const auto pictures = job.pictures();
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].media, "png 40x16");
}

TEST(page_graphics, a_picture_goes_in_as_a_bitmap_under_its_block_metafile) {
    GraphicsJob job("bitmap", 1);
    const std::string text =
        "PAGE,0\n"
        "BLOCK,1,200,200,1200,600,0,0\n"
        "LABEL,200,37.04,0,0,\"ロゴ\"\n"
        "BLOCK,2,200,600,1200,800,0,0\n"
        "LABEL,200,37.04,0,0,\"ロゴなし\"\n"
        "BLOCK,3,200,800,1200,900,0,0\n"
        "LABEL,200,37.04,0,0,\"線\"\n"
        "PAGE,1\n";
    const std::string pict =
        "PRN_PICT,1\n"
        "BLOCK,1,200,200,1200,600,0,0\n"
        "PICTURE,100,50,200,100,0,0,\"" +
        mark_bmp() +
        "\"\n"
        "LINE,0,0,1000,0,0,2\n"
        "BLOCK,2,200,600,1200,800,0,0\n"
        "PICTURE,100,50,200,100,0,0,\"" +
        (job.path() / "no such.bmp").string() +
        "\"\n"
        "LINE,0,0,1000,0,0,2\n"
        "BLOCK,3,200,800,1200,900,0,0\n"
        "LINE,0,0,1000,0,0,2\n"
        "PAGE\n";
    ASSERT_EQ(job.convert(text, pict), WordRunOutcome::completed) << first_message(job.progress);
    EXPECT_EQ(job.progress.messages,
              std::vector<std::string>{"|BMPファイルが無いか大きい為処理を継続できません\n"
                                       "ファイル: " +
                                       (job.path() / "no such.bmp").string() + "（1ページ）"});

    const auto pictures = job.pictures();
    ASSERT_EQ(pictures.size(), 4u);
    // The canvas covers the block at the bitmap's own density: 8 pixels over 20 mm, so 40
    // pixels over the block's 100 mm, and 16 over its 40 mm.
    EXPECT_EQ(pictures[0].media, "png 40x16");
    EXPECT_EQ(pictures[1].media, "emf");
    EXPECT_LT(pictures[0].z, pictures[1].z);
    for (const FloatingPicture* p : {&pictures[0], &pictures[1]}) {
        EXPECT_TRUE(p->behind_text);
        EXPECT_NEAR(p->left_mm, 20, mm_tolerance);
        EXPECT_NEAR(p->top_mm, 20, mm_tolerance);
        EXPECT_NEAR(p->width_mm, 100, mm_tolerance);
        EXPECT_NEAR(p->height_mm, 40, mm_tolerance);
    }
    // The missing bitmap's block keeps its line; the next block brings no stale canvas along.
    EXPECT_EQ(pictures[2].media, "emf");
    EXPECT_NEAR(pictures[2].top_mm, 60, mm_tolerance);
    EXPECT_EQ(pictures[3].media, "emf");
    EXPECT_NEAR(pictures[3].top_mm, 80, mm_tolerance);
    EXPECT_EQ(of_type(emftest::load_checked(job.metafile(2)), EMR_LINETO).size(), 1u);
}

TEST(page_graphics, blocks_that_draw_nothing_leave_no_file_and_no_picture) {
    GraphicsJob job("empty", 2);
    // Files of an earlier run under the same block numbers.
    for (int block : {1, 2, 4}) std::ofstream(job.metafile(block)) << "old";
    const std::string text =
        "PAGE,0\n"
        "BLOCK,1,200,200,1900,300,0,0\n"
        "LABEL,200,37.04,0,0,\"一\"\n"
        "BLOCK,2,200,300,1900,400,0,0\n"
        "LABEL,200,37.04,0,0,\"二\"\n"
        "BLOCK,3,200,400,1900,500,0,0\n"
        "LABEL,200,37.04,0,0,\"三\"\n"
        "PAGE,1\n"
        "BLOCK,4,200,200,1900,300,0,0\n"
        "LABEL,200,37.04,0,0,\"四\"\n"
        "PAGE,2\n";
    // A kind of record the Word route does not know: its fields, some on lines of their own,
    // pass by without drawing and without upsetting the records after them.
    const std::string pict =
        "PRN_PICT,2\n"
        "BLOCK,1,200,200,1900,300,0,0\n"
        "BLOCK,2,200,300,1900,400,0,0\n"
        "SPLINE,3,0,2,1,0,&H0000FF,&H00FF00,0,0\n"
        "100,0\n"
        "50,50\n"
        "BLOCK,3,200,400,1900,500,0,0\n"
        "SPLINE,3,0,2,1,0,255,65280,0,0,100,0,50,50\n"
        "LINE,0,0,100,0,0,2\n"
        "PAGE\n"
        // A figure before the page's first block has nowhere to go, and the block after it
        // is still empty.
        "LINE,0,0,100,0,0,2\n"
        "BLOCK,4,200,200,1900,300,0,0\n"
        "PAGE\n";
    ASSERT_EQ(job.convert(text, pict), WordRunOutcome::completed) << first_message(job.progress);
    const auto pictures = job.pictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_NEAR(pictures[0].top_mm, 40, mm_tolerance);
    for (int block : {1, 2, 4}) EXPECT_FALSE(std::filesystem::exists(job.metafile(block))) << block;
    const auto m = emftest::load_checked(job.metafile(3));
    EXPECT_EQ(m.drawings.size(), 1u);
}

// Three pages of two blocks each (numbers 10 x page + 1 and + 2), a line in every block.
// Page 2 opens with a block that has figures but no text; page 3 has no text at all.
struct ThreePages {
    std::string text = "PAGE,0\n";
    std::string pict = "PRN_PICT,3\n";

    ThreePages() {
        for (int page = 1; page <= 3; ++page) {
            for (int i = 1; i <= 2; ++i) {
                const std::string top = std::to_string(200 + 100 * i);
                const std::string block = "BLOCK," + std::to_string(10 * page + i) + ",200," + top +
                                          ",1900," + std::to_string(300 + 100 * i) + ",0,0\n";
                text += block;
                if (page == 1 || (page == 2 && i == 2)) text += "LABEL,200,37.04,0,0,\"文\"\n";
                pict += block + "LINE,0,0,100,0,0,2\n";
            }
            text += "PAGE," + std::to_string(page) + "\n";
            pict += "PAGE\n";
        }
    }
};

std::vector<int> pages_of(const std::vector<FloatingPicture>& pictures) {
    std::vector<int> pages;
    for (const auto& p : pictures) pages.push_back(p.page);
    return pages;
}

TEST(page_graphics, every_page_keeps_its_own_figures_to_the_last_block) {
    {
        GraphicsJob job("pages", 3);
        const ThreePages three;
        ASSERT_EQ(job.convert(three.text, three.pict), WordRunOutcome::completed)
            << first_message(job.progress);
        EXPECT_EQ(pages_of(job.pictures()), (std::vector<int>{1, 1, 2, 2, 3, 3}));
    }
    {
        // The text ends without its last page line: the last page's figures still come.
        GraphicsJob job("no_text_page_line", 3);
        ThreePages three;
        three.text.erase(three.text.rfind("PAGE,3"));
        ASSERT_EQ(job.convert(three.text, three.pict), WordRunOutcome::completed)
            << first_message(job.progress);
        EXPECT_EQ(pages_of(job.pictures()), (std::vector<int>{1, 1, 2, 2, 3, 3}));
    }
    {
        // The figures end without their last page line: nothing is missing, nothing to tell.
        GraphicsJob job("no_pict_page_line", 3);
        ThreePages three;
        three.pict.erase(three.pict.rfind("PAGE"));
        ASSERT_EQ(job.convert(three.text, three.pict), WordRunOutcome::completed)
            << first_message(job.progress);
        EXPECT_EQ(pages_of(job.pictures()), (std::vector<int>{1, 1, 2, 2, 3, 3}));
        EXPECT_TRUE(job.progress.warnings.empty());
    }
    {
        // The last page of a range keeps its figures; pages outside the range draw nothing.
        GraphicsJob job("range", 3);
        job.settings.Start_Page = 2;
        job.settings.End_Page = 2;
        const ThreePages three;
        ASSERT_EQ(job.convert(three.text, three.pict), WordRunOutcome::completed)
            << first_message(job.progress);
        EXPECT_EQ(pages_of(job.pictures()), (std::vector<int>{1, 1}));
        for (int block : {11, 12, 31, 32}) {
            EXPECT_FALSE(std::filesystem::exists(job.metafile(block))) << block;
        }
    }
}

TEST(page_graphics, a_document_of_figures_only_keeps_them) {
    GraphicsJob job("figures_only", 1);
    ASSERT_EQ(job.convert("PAGE,0\nBLOCK,1,200,200,1900,400,0,0\nPAGE,1\n",
                          "PRN_PICT,1\nBLOCK,1,200,200,1900,400,0,0\nLINE,0,0,100,0,0,2\nPAGE\n"),
              WordRunOutcome::completed)
        << first_message(job.progress);
    EXPECT_EQ(pages_of(job.pictures()), std::vector<int>{1});
}

std::vector<std::string> texts_and_breaks(const std::filesystem::path& docx) {
    std::vector<std::string> out;
    for (const std::string& line : dump_docx(docx)) {
        if (line == "B") {
            out.push_back(line);
        } else if (line.rfind("P|", 0) == 0 && line.find("|文") != std::string::npos) {
            out.push_back("文");
        }
    }
    return out;
}

TEST(page_graphics, pages_of_the_text_stay_pages_whatever_prn_pict_holds) {
    const ThreePages three;
    // One text line on each page (page 3's goes into its second block).
    std::string text = three.text;
    text.insert(text.rfind("PAGE,3"), "LABEL,200,37.04,0,0,\"文\"\n");
    const std::vector<std::string> pages = {"文", "文", "B", "文", "B", "文"};
    struct Case {
        const char* name;
        std::string pict;
        std::vector<int> figure_pages;
        int warned_page;  // 0: no warning
    };
    std::string extra_block = three.pict;
    extra_block.insert(extra_block.find("BLOCK,12"),
                       "BLOCK,99,200,250,1900,260,0,0\nLINE,0,0,9,0,0,2\n");
    std::string two_pages = three.pict;
    two_pages.erase(two_pages.find("BLOCK,31"));
    const std::vector<Case> cases = {
        {"empty", "", {}, 1},
        {"header_only", "PRN_PICT,3\n", {}, 1},
        // Page 1's figures stay on page 1; those after the extra block are not read.
        {"extra_block", extra_block, {1}, 1},
        {"two_pages", two_pages, {1, 1, 2, 2}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GraphicsJob job(std::string("disagreeing_") + c.name, 3);
        ASSERT_EQ(job.convert(text, c.pict), WordRunOutcome::completed)
            << first_message(job.progress);
        EXPECT_EQ(texts_and_breaks(job.docx()), pages);
        EXPECT_EQ(pages_of(job.pictures()), c.figure_pages);
        ASSERT_EQ(job.progress.warnings.size(), 1u);
        EXPECT_EQ(job.progress.warnings[0],
                  "PRN_PICT の図形が PRN_CHAR のページ・ブロックと一致しません：" +
                      std::to_string(c.warned_page) + "ページ以降の図形は変換されません");
    }
}

// Two blocks of one page, a line in each.
const char* const two_block_text =
    "PAGE,0\n"
    "BLOCK,1,200,200,1900,300,0,0\n"
    "LABEL,200,37.04,0,0,\"一\"\n"
    "BLOCK,2,200,300,1900,400,0,0\n"
    "LABEL,200,37.04,0,0,\"二\"\n"
    "PAGE,1\n";

TEST(page_graphics, a_stopped_run_leaves_whole_metafiles_or_none) {
    {
        // Cancelled when block 2 has just been opened: block 1 is a whole file, block 2 none.
        GraphicsJob job("cancelled", 1);
        job.progress.cancel_after_yields = 2;
        EXPECT_EQ(job.convert(two_block_text,
                              "PRN_PICT,1\n"
                              "BLOCK,1,200,200,1900,300,0,0\n"
                              "LINE,0,0,100,0,0,2\n"
                              "BLOCK,2,200,300,1900,400,0,0\n"
                              "LINE,0,0,100,0,0,2\n"
                              "PAGE\n"),
                  WordRunOutcome::cancelled);
        EXPECT_FALSE(std::filesystem::exists(job.docx()));
        EXPECT_EQ(of_type(emftest::load_checked(job.metafile(1)), EMR_LINETO).size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(job.metafile(2)));
    }
    {
        // A width of 4000 tenths of a millimetre makes a pen width beyond 16 bits.
        GraphicsJob job("failing", 1);
        EXPECT_EQ(job.convert(two_block_text,
                              "PRN_PICT,1\n"
                              "BLOCK,1,200,200,1900,300,0,0\n"
                              "LINE,0,0,100,0,0,2\n"
                              "BLOCK,2,200,300,1900,400,0,0\n"
                              "LINE,0,0,100,0,0,2\n"
                              "LINE,0,0,100,0,0,4000\n"
                              "PAGE\n"),
                  WordRunOutcome::failed);
        ASSERT_EQ(job.progress.messages.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(job.metafile(2)));
        EXPECT_FALSE(std::filesystem::exists(job.docx()));
        EXPECT_EQ(of_type(emftest::load_checked(job.metafile(1)), EMR_LINETO).size(), 1u);
    }
}

}  // namespace
