// The Excel route's figure pass over hand-made PRN_PICT files.
#include "graphics/metafile_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/whole_file.h"
#include "platform/emf/emf_records.h"
#include "platform/raster/canvas.h"
#include "tests/platform/emf/metafile_check.h"
#include "tests/platform/os/scratch_folder.h"
#include "tests/platform/raster/png_check.h"

namespace {

namespace fs = std::filesystem;
using emf::records::EMR_LINETO;
using emf::records::EMR_POLYGON16;
using test_support::ScratchFolder;

class RecordingView : public graphics::MetafilePassView {
  public:
    void set_status(const std::string& caption) override { captions.push_back(caption); }
    void start_progress(int max) override {
        maximum = max;
        value = 0;
    }
    void step_progress() override { ++value; }
    void yield() override {
        ++yields;
        if (on_yield) on_yield(*this);
    }
    bool cancel_requested() const override { return cancel; }
    void show_error(const std::string& title, const std::string& text) override {
        errors.push_back(title + "|" + text);
    }
    void add_warning(const std::string& line) override { warnings.push_back(line); }

    std::vector<std::string> captions;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    int maximum = -1;
    int value = -1;
    int yields = 0;
    bool cancel = false;
    std::function<void(RecordingView&)> on_yield;
};

class MetafilePassTest : public ::testing::Test {
  protected:
    MetafilePassTest() {
        fs::create_directories(job_.path() / "META_FILE");
        settings_ = {.job_dir = job_.path(),
                     .Page_Count = 3,
                     .Margin_Left = 150,
                     .Margin_Right = 250,
                     .Paper_Width = 210,
                     .Font_Name = "MS Gothic"};
    }
    void pict(const std::string& records) const {
        ScratchFolder::write_file(job_.path() / "PRN_PICT", "PRN_PICT,3\r\n" + records);
    }
    graphics::PassOutcome run(std::int16_t first, std::int16_t last) {
        return graphics::Make_MetaFile(settings_, first, last, view_);
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(job_.path() / "META_FILE")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    emftest::Metafile metafile(const std::string& name) const {
        return emftest::load_checked(job_.path() / "META_FILE" / name);
    }

    ScratchFolder job_;
    graphics::MetafilePassSettings settings_;
    RecordingView view_;
};

// Three pages: block 1 of each page draws one line at a different height.
const std::string three_pages =
    "BLOCK,1,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\nBLOCK,2,150,400,1900,500,0,0\r\n"
    "PAGE\r\n"
    "BLOCK,3,150,200,1900,400,0,0\r\nLINE,0,20,100,20,0,2\r\nPAGE\r\n"
    "BLOCK,4,150,200,1900,400,0,0\r\nLINE,0,30,100,30,0,2\r\nPAGE\r\n";

TEST_F(MetafilePassTest, pages_outside_the_range_are_read_and_reported_as_skipped) {
    pict(three_pages);
    EXPECT_EQ(run(2, 2), graphics::PassOutcome::completed);
    EXPECT_EQ(view_.captions, (std::vector<std::string>{
                                  "図形構築開始", "図形構築中 1/3ページ スキップ",
                                  "図形構築中 2/3ページ 終了", "図形構築中 3/3ページ スキップ"}));
    EXPECT_EQ(view_.maximum, 3);
    EXPECT_EQ(view_.value, 3);
    EXPECT_EQ(files(), (std::vector<std::string>{"3.emf"}));
    const auto m = metafile("3.emf");
    // The printable width (2100 - 150 - 250 tenths) and the block's height, in 0.01 mm.
    EXPECT_EQ(m.frame.right, 17000);
    EXPECT_EQ(m.frame.bottom, 2000);
    EXPECT_TRUE(view_.errors.empty());
}

TEST_F(MetafilePassTest, blocks_keep_a_file_only_when_they_draw_and_draw_from_the_left_margin) {
    pict(
        "BLOCK,1,150,200,1900,400,0,0\r\n"
        "POLYGON,3,0,2,1,0,&H0000FF,&H00FF00,0,0,100,0,100,50\r\n"
        "BLOCK,2,250,400,1900,500,0,0\r\nPICTURE,0,0,100,100,0,0,\"missing.bmp\"\r\n"
        "BLOCK,3,150,500,1900,600,0,0\r\nLINE,0,40,100,40,0,2\r\n"
        "BLOCK,4,350,600,1900,700,0,0\r\nLINE,0,40,100,40,0,2\r\nPAGE\r\n");
    settings_.Page_Count = 1;
    EXPECT_EQ(run(1, 1), graphics::PassOutcome::completed);
    EXPECT_EQ(files(), (std::vector<std::string>{"1.emf", "3.emf", "4.emf"}));
    EXPECT_EQ(metafile("1.emf").count(EMR_POLYGON16), 1u);
    // x1 at the left margin: x 0 stays 0; 20 mm right of it, x 0 lands at 2000.
    const auto at_margin = metafile("3.emf");
    ASSERT_EQ(at_margin.count(EMR_LINETO), 1u);
    EXPECT_EQ(at_margin.drawings[0].points[0].x, 0);
    EXPECT_EQ(at_margin.drawings[0].points[0].y, -400);
    EXPECT_EQ(metafile("4.emf").drawings[0].points[0].x, 2000);
}

TEST_F(MetafilePassTest, bitmaps_go_onto_a_transparent_canvas_covering_the_metafiles_frame) {
    // A 4 x 2 logo, its top-left pixel red and the rest blue.
    raster::Canvas logo;
    logo.resize(4, 2);
    logo.stretch_copy({.width = 1, .height = 1, .rgb = {0, 0, 255}}, 0, 0, 4, 2);
    logo.stretch_copy({.width = 1, .height = 1, .rgb = {255, 0, 0}}, 0, 0, 1, 1);
    logo.save_bmp(job_.path() / "LOGO.BMP");
    // The same logo on both pages, 10 mm right of the left margin; a missing picture on page 1.
    const std::string page =
        "BLOCK,1,250,200,1900,400,0,0\r\n"
        "PICTURE,100,50,20,10,0,0,\"C:\\PELLORA\\logo.bmp\"\r\n"
        "BLOCK,2,150,400,1900,500,0,0\r\nLINE,0,10,100,10,0,2\r\n";
    pict(page + "BLOCK,3,150,500,1900,600,0,0\r\nPICTURE,0,0,20,10,0,0,\"gone.bmp\"\r\nPAGE\r\n" +
         page + "PAGE\r\n");
    settings_.Page_Count = 2;
    EXPECT_EQ(run(1, 2), graphics::PassOutcome::completed);
    EXPECT_EQ(files(), (std::vector<std::string>{"1-p1.emf", "1-p1.png", "1-p2.emf", "1-p2.png",
                                                 "2-p1.emf", "2-p2.emf"}));
    EXPECT_EQ(view_.warnings,
              (std::vector<std::string>{"BMPファイルが無いか大きい為処理を継続できません"
                                        "（ファイル: gone.bmp、1ページ）"}));
    // The block with only a picture keeps a metafile, so the picture has a frame to lie under.
    EXPECT_EQ(metafile("1-p1.emf").frame.right, 17000);

    // The logo's density (4 pixels on 2 mm) over the frame: 170 mm x 20 mm.
    const std::string bytes = base::load_file(job_.path() / "META_FILE" / "1-p1.png");
    const auto png =
        rastertest::decode_png({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_EQ(png.width, 340);
    ASSERT_EQ(png.height, 40);
    // At 20 mm from the frame's left (10 mm of block, 10 mm of picture) and 5 mm down.
    EXPECT_EQ(png.at(40, 10), 0xFFFF0000);
    EXPECT_EQ(png.at(43, 11), 0xFF0000FF);
    EXPECT_EQ(png.at(39, 10), 0u);
    EXPECT_EQ(png.at(44, 10), 0u);
    EXPECT_EQ(png.at(40, 12), 0u);
    EXPECT_EQ(std::count(png.pixels.begin(), png.pixels.end(), 0u), 340 * 40 - 8);
    EXPECT_EQ(base::load_file(job_.path() / "META_FILE" / "1-p2.png"), bytes);
}

TEST_F(MetafilePassTest, a_block_number_used_on_two_pages_keeps_each_pages_figures) {
    pict(
        "BLOCK,1,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\n"
        "BLOCK,2,150,400,1900,500,0,0\r\nLINE,0,11,100,11,0,2\r\nPAGE\r\n"
        "BLOCK,1,150,200,1900,400,0,0\r\nLINE,0,20,100,20,0,2\r\nPAGE\r\n");
    settings_.Page_Count = 2;
    EXPECT_EQ(run(1, 2), graphics::PassOutcome::completed);
    EXPECT_EQ(files(), (std::vector<std::string>{"1-p1.emf", "1-p2.emf", "2.emf"}));
    EXPECT_EQ(metafile("1-p1.emf").drawings[0].points[0].y, -100);
    EXPECT_EQ(metafile("1-p2.emf").drawings[0].points[0].y, -200);
}

TEST_F(MetafilePassTest, the_frame_spans_the_paper_less_the_left_and_the_right_margin) {
    pict(three_pages);
    settings_.Margin_Right = 100;
    EXPECT_EQ(run(1, 1), graphics::PassOutcome::completed);
    EXPECT_EQ(metafile("1.emf").frame.right, 18500);
}

TEST_F(MetafilePassTest, a_block_number_used_twice_on_a_page_keeps_both_blocks_figures) {
    pict(
        "BLOCK,5,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\n"
        "BLOCK,5,150,400,1900,500,0,0\r\nLINE,0,11,100,11,0,2\r\nPAGE\r\n"
        "BLOCK,5,150,200,1900,400,0,0\r\nLINE,0,20,100,20,0,2\r\nPAGE\r\n");
    settings_.Page_Count = 2;
    EXPECT_EQ(run(1, 2), graphics::PassOutcome::completed);
    EXPECT_EQ(files(), (std::vector<std::string>{"5-p1-2.emf", "5-p1.emf", "5-p2.emf"}));
    EXPECT_EQ(metafile("5-p1.emf").drawings[0].points[0].y, -100);
    EXPECT_EQ(metafile("5-p1-2.emf").drawings[0].points[0].y, -110);
    EXPECT_EQ(metafile("5-p2.emf").drawings[0].points[0].y, -200);
}

TEST_F(MetafilePassTest, pages_of_the_range_that_the_file_does_not_hold_are_told) {
    pict(three_pages);
    settings_.Page_Count = 5;
    EXPECT_EQ(run(2, 5), graphics::PassOutcome::completed);
    EXPECT_EQ(view_.warnings,
              (std::vector<std::string>{
                  "PRN_PICT にページ 4～5 がありません（その図形は変換されません）"}));

    view_.warnings.clear();
    ScratchFolder::write_file(job_.path() / "PRN_PICT", "");
    EXPECT_EQ(run(1, 3), graphics::PassOutcome::completed);
    EXPECT_EQ(view_.warnings,
              (std::vector<std::string>{
                  "PRN_PICT にページ 1～3 がありません（その図形は変換されません）"}));

    // A last page without its PAGE record is held all the same.
    view_.warnings.clear();
    pict("BLOCK,1,150,200,1900,400,0,0\r\nPAGE\r\nBLOCK,2,150,200,1900,400,0,0\r\n");
    EXPECT_EQ(run(1, 2), graphics::PassOutcome::completed);
    EXPECT_TRUE(view_.warnings.empty());
}

TEST_F(MetafilePassTest, a_block_still_open_at_the_end_of_the_file_keeps_its_figures) {
    pict(
        "BLOCK,1,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\nPAGE\r\n"
        "BLOCK,2,150,200,1900,400,0,0\r\nLINE,0,20,100,20,0,2\r\n");
    settings_.Page_Count = 2;
    EXPECT_EQ(run(1, 2), graphics::PassOutcome::completed);
    EXPECT_EQ(files(), (std::vector<std::string>{"1.emf", "2.emf"}));
    EXPECT_EQ(metafile("2.emf").count(EMR_LINETO), 1u);
}

TEST_F(MetafilePassTest, cancel_keeps_the_finished_blocks_and_the_open_one_as_it_stood) {
    pict(
        "BLOCK,11,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\n"
        "BLOCK,12,150,400,1900,500,0,0\r\nLINE,0,11,100,11,0,2\r\nLINE,0,12,100,12,0,2\r\n"
        "BLOCK,13,150,500,1900,600,0,0\r\nLINE,0,13,100,13,0,2\r\nPAGE\r\n" +
        three_pages);
    // Cancel after the first line of block 12.
    view_.on_yield = [](RecordingView& view) { view.cancel = view.yields == 5; };
    EXPECT_EQ(run(1, 3), graphics::PassOutcome::cancelled);
    EXPECT_EQ(files(), (std::vector<std::string>{"11.emf", "12.emf"}));
    EXPECT_EQ(metafile("12.emf").count(EMR_LINETO), 1u);
    EXPECT_TRUE(view_.errors.empty());
}

TEST_F(MetafilePassTest, errors_show_their_box_and_leave_no_half_written_file) {
    EXPECT_EQ(run(1, 3), graphics::PassOutcome::failed);
    ASSERT_EQ(view_.errors.size(), 1u);
    EXPECT_TRUE(view_.errors[0].starts_with("Error - Make_MetaFile|ファイルが見つかりません。"))
        << view_.errors[0];
    EXPECT_TRUE(view_.errors[0].ends_with("\r\n\r\n処理を中止します。"));

    // A broken record: nothing is drawn from a file that cannot be read through.
    view_.errors.clear();
    pict("BLOCK,1,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\nLINE,0,x,100,12,0,2\r\n");
    EXPECT_EQ(run(1, 3), graphics::PassOutcome::failed);
    ASSERT_EQ(view_.errors.size(), 1u);
    EXPECT_TRUE(view_.errors[0].starts_with("Error - Make_MetaFile|型が一致しません。"))
        << view_.errors[0];
    EXPECT_TRUE(files().empty());

    // A line too wide for its pen inside block 2: block 1 stays, block 2 leaves nothing.
    view_.errors.clear();
    pict(
        "BLOCK,1,150,200,1900,400,0,0\r\nLINE,0,10,100,10,0,2\r\n"
        "BLOCK,2,150,400,1900,500,0,0\r\nLINE,0,11,100,11,0,2\r\n"
        "LINE,0,12,100,12,0,5000\r\nPAGE\r\n");
    EXPECT_EQ(run(1, 3), graphics::PassOutcome::failed);
    ASSERT_EQ(view_.errors.size(), 1u);
    EXPECT_TRUE(view_.errors[0].starts_with("Error - Make_MetaFile|オーバーフローしました。"))
        << view_.errors[0];
    EXPECT_EQ(files(), (std::vector<std::string>{"1.emf"}));

    // META_FILE that is a file.
    view_.errors.clear();
    fs::remove_all(job_.path() / "META_FILE");
    ScratchFolder::write_file(job_.path() / "META_FILE", "not a folder");
    pict(three_pages);
    EXPECT_EQ(run(1, 3), graphics::PassOutcome::failed);
    ASSERT_EQ(view_.errors.size(), 1u);
    EXPECT_TRUE(view_.errors[0].starts_with("Error - Make_MetaFile|パスが見つかりません。"))
        << view_.errors[0];
}

TEST_F(MetafilePassTest, a_folder_in_the_way_of_a_metafile_is_named_in_japanese) {
    pict(three_pages);
    // Block 2 draws nothing, so the pass only removes an earlier file of its name; block 3
    // writes one.
    for (const char* name : {"2.emf", "3.emf"}) {
        view_.errors.clear();
        fs::remove_all(job_.path() / "META_FILE");
        fs::create_directories(job_.path() / "META_FILE" / name / "kept");
        EXPECT_EQ(run(1, 3), graphics::PassOutcome::failed) << name;
        ASSERT_EQ(view_.errors.size(), 1u) << name;
        const std::string& box = view_.errors[0];
        EXPECT_TRUE(box.starts_with("Error - Make_MetaFile|パス名が無効です。\r\n")) << box;
        EXPECT_NE(box.find((job_.path() / "META_FILE" / name).string()), std::string::npos) << box;
        EXPECT_EQ(box.find("filesystem"), std::string::npos) << box;
        EXPECT_TRUE(fs::exists(job_.path() / "META_FILE" / name / "kept")) << name;
    }
}

}  // namespace
