// The bundled sample job: what the generator writes, and laid out so that every text lands
// on its block's character grid and every figure inside its block.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/whole_file.h"
#include "bench/job_generator.h"
#include "jobfiles/numeric.h"
#include "jobfiles/prn_char.h"
#include "jobfiles/prn_mode.h"
#include "jobfiles/prn_pict.h"

namespace {

namespace fs = std::filesystem;

const fs::path sample = fs::path(VS_SOURCE_DIR) / "examples" / "sample";

TEST(sample_job, is_what_the_generator_writes) {
    const jobgen::Job job = jobgen::make_job({});
    EXPECT_EQ(base::load_file(sample / "PRN_MODE"), job.prn_mode);
    EXPECT_EQ(base::load_file(sample / "PRN_CHAR"), job.prn_char);
    EXPECT_EQ(base::load_file(sample / "PRN_PICT"), job.prn_pict);
    EXPECT_EQ(base::load_file(sample / jobgen::bitmap_name), job.bitmap);
    EXPECT_TRUE(fs::is_directory(sample / "META_FILE"));
}

// Every job the generator makes, at every supported size, keeps its texts on the grid.
class generated_job : public ::testing::TestWithParam<int> {};

TEST_P(generated_job, texts_land_on_their_block_grid) {
    const jobgen::Job job = jobgen::make_job({.pages = 3, .char_size = GetParam()});
    const jobfiles::VarnelJobSettings mode = jobfiles::parse_varnel_prn_mode(job.prn_mode);
    const double line_height = static_cast<double>(mode.Char_Size) * 10 / (72 / 25.4);
    const double title_height = mode.Line_Pitch * 10 / (72 / 25.4);

    jobfiles::PrnCharReader in(job.prn_char);
    in.skip_line();
    jobfiles::BlockHeader block = in.read_first_block_header();
    int pages = 0;
    int texts = 0;
    int lines = 0;
    const auto begin_block = [&] {
        EXPECT_EQ(block.x1, mode.Margin_Left);
        EXPECT_EQ(block.x2, 2100 - mode.Margin_Right);
        EXPECT_LE(block.y2, 2970 - mode.Margin_Bottom);
        const double h = block.y2 - block.y1;
        lines = static_cast<int>(block.title_flag == 1
                                     ? jobfiles::Int((h - title_height) / line_height + 0.5) + 1
                                     : jobfiles::Int(h / line_height + 0.5));
        EXPECT_LE(lines, 64);
    };
    begin_block();
    while (!in.at_end()) {
        const std::string keyword(in.read_keyword());
        if (const auto kind = jobfiles::text_kind(keyword)) {
            const jobfiles::TextRecord r = in.read_text_record(*kind);
            const double row = block.title_flag == 1
                                   ? jobfiles::Int((r.y - title_height) / line_height + 0.55) + 1
                                   : jobfiles::Int(r.y / line_height + 0.55);
            const int column =
                jobfiles::to_int16((r.x - mode.Margin_Left) / (line_height * 0.5) + 1);
            EXPECT_GE(row, 1) << r.text;
            EXPECT_LE(row, lines) << r.text;
            EXPECT_GE(column, 1);
            EXPECT_LE(column - 1 + static_cast<int>(r.text.size()), 90) << r.text;
            EXPECT_FALSE(block.block_kind.is(1)) << "a gap block holds no text";
            ++texts;
        } else if (keyword == "MATRIX") {
            jobfiles::MatrixHeader h = in.read_matrix_header();
            in.read_matrix_widths(h);
            double width = h.m4;
            for (double w : h.widths) width += w;
            EXPECT_LE(width, block.x2 - block.x1);
            EXPECT_NEAR(h.m3 * line_height + h.m1 * h.m5, block.y2 - block.y1, 0.5);
            for (int row = 0; row < h.m1; ++row) {
                for (int column = 0; column < h.m2; ++column) {
                    const jobfiles::CellLine cell = in.read_cell_line();
                    EXPECT_EQ(cell.b, column);
                    EXPECT_EQ(cell.s.size(), 6u);
                    EXPECT_FALSE(column == 0 && cell.text == "@");
                }
            }
        } else if (keyword == "BLOCK") {
            block = in.read_block_header();
            begin_block();
        } else {
            ASSERT_EQ(keyword, "PAGE");
            ++pages;
            in.read_rest_of_line();
            if (in.at_end()) break;
            block = in.read_first_block_header();
            begin_block();
        }
    }
    EXPECT_EQ(pages, 3);
    EXPECT_GT(texts, 30);
}

INSTANTIATE_TEST_SUITE_P(char_sizes, generated_job, ::testing::Values(90, 100, 105, 110, 120));

TEST(sample_job, figures_pair_with_text_blocks_and_stay_inside_them) {
    const std::string chars = base::load_file(sample / "PRN_CHAR");
    const std::string picts = base::load_file(sample / "PRN_PICT");
    std::vector<std::int32_t> text_blocks;
    jobfiles::SorbelCharReader text(chars);
    while (const auto r = text.next()) {
        if (const auto* b = std::get_if<jobfiles::SorbelBlockHeader>(&*r)) {
            text_blocks.push_back(b->Block_No);
        } else if (std::holds_alternative<jobfiles::PageEnd>(*r)) {
            text_blocks.push_back(-1);
        }
    }

    std::vector<std::int32_t> figure_blocks;
    std::set<std::string> seen;
    double width = 0;
    double height = 0;
    const auto inside = [&](double x, double y) {
        EXPECT_GE(x, 0);
        EXPECT_LE(x, width);
        EXPECT_GE(y, 0);
        EXPECT_LE(y, height);
    };
    jobfiles::SorbelPictReader figures(picts);
    while (const auto r = figures.next()) {
        if (const auto* b = std::get_if<jobfiles::SorbelPictBlock>(&*r)) {
            figure_blocks.push_back(b->number);
            width = b->x2 - b->x1;
            height = b->y2 - b->y1;
        } else if (std::holds_alternative<jobfiles::PictPage>(*r)) {
            figure_blocks.push_back(-1);
        } else if (const auto* l = std::get_if<jobfiles::PictLine>(&*r)) {
            inside(l->x1, l->y1);
            inside(l->x2, l->y2);
            seen.insert("LINE " + std::to_string(l->line_kind));
        } else if (const auto* c = std::get_if<jobfiles::PictCircle>(&*r)) {
            inside(c->cx - c->rx, c->cy - c->ry);
            inside(c->cx + c->rx, c->cy + c->ry);
            seen.insert(c->end_angle - c->start_angle == 360 ? "CIRCLE full" : "CIRCLE arc");
        } else if (const auto* p = std::get_if<jobfiles::PictPolygon>(&*r)) {
            for (const auto& point : p->points) inside(point.x, point.y);
            seen.insert("POLYGON");
        } else if (const auto* label = std::get_if<jobfiles::PictLabel>(&*r)) {
            inside(label->x, label->y);
            seen.insert(label->angle != 0 ? "LABEL turned" : "LABEL");
        }
    }
    EXPECT_EQ(figure_blocks, text_blocks);
    for (const char* kind : {"LINE 0", "LINE 1", "LINE 2", "LINE 3", "LINE 4", "LINE 5", "LINE 7",
                             "CIRCLE full", "CIRCLE arc", "POLYGON", "LABEL", "LABEL turned"}) {
        EXPECT_TRUE(seen.count(kind)) << kind;
    }

    // The Word converter's reader sees the picture, named relative to the job folder.
    jobfiles::VarnelPictReader word(picts);
    int pictures = 0;
    while (const auto r = word.next()) {
        if (const auto* p = std::get_if<jobfiles::PictPicture>(&*r)) {
            EXPECT_TRUE(fs::exists(sample / p->file));
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 1);
}

}  // namespace
