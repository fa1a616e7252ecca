#include "graphics/block_metafile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/run_time_error.h"
#include "graphics/primitives.h"
#include "platform/emf/emf_records.h"
#include "tests/platform/emf/metafile_check.h"

namespace {

using emf::records::EMR_LINETO;

class block_metafile : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ =
            std::filesystem::temp_directory_path() /
            ("block_metafile_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }

    void TearDown() override {
        EXPECT_EQ(context_.gdi.object_count(), 0u);
        EXPECT_EQ(context_.gdi.surface_count(), 0u);
        EXPECT_EQ(context_.gdi.metafile_count(), 0u);
        EXPECT_EQ(context_.surface, emf::HDC{});
        std::filesystem::remove_all(folder_);
    }

    // A file an earlier run left where the block's file goes.
    std::filesystem::path stale(const std::string& name) const {
        const std::filesystem::path file = folder_ / name;
        std::ofstream(file) << "earlier run";
        return file;
    }

    std::filesystem::path folder_;
    graphics::DrawingContext context_;
};

TEST_F(block_metafile,
       a_drawn_block_is_written_with_its_frame_and_the_next_starts_with_the_block_pen) {
    {
        graphics::BlockMetafile block(context_, folder_ / "7.emf", 19000, 4230);
        // A dotted pen left in the context must not carry over into the next block.
        graphics::DrawLine(context_, 0, 0, 1000, 0, 1, 0);
        block.mark_drawn();
        EXPECT_EQ(block.finish(), folder_ / "7.emf");
        EXPECT_EQ(block.finish(), std::nullopt);
    }
    const emftest::Metafile first = emftest::load_checked(folder_ / "7.emf");
    EXPECT_EQ(first.frame.right, 19000);
    EXPECT_EQ(first.frame.bottom, 4230);
    EXPECT_EQ(first.description, std::u16string(u"0\0\0", 3));
    EXPECT_EQ(first.count(emf::records::EMR_SETMAPMODE), 1u);

    graphics::BlockMetafile next(context_, folder_ / "8.emf", 100, 100);
    graphics::DrawLine(context_, 0, 0, 1000, 0, 0, 2);
    next.mark_drawn();
    ASSERT_TRUE(next.finish());
    const emftest::Metafile second = emftest::load_checked(folder_ / "8.emf");
    ASSERT_EQ(second.count(EMR_LINETO), 1u);
    EXPECT_EQ(second.drawings[0].pen.style, emf::PS_SOLID);
    EXPECT_EQ(second.drawings[0].pen.width, 20);
    EXPECT_EQ(second.count(emf::records::EMR_CREATEPEN), 1u);
}

TEST_F(block_metafile, a_block_that_drew_nothing_leaves_no_file) {
    const std::filesystem::path file = stale("3.emf");
    graphics::BlockMetafile block(context_, file, 100, 100);
    EXPECT_EQ(block.finish(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(block_metafile, an_unfinished_block_is_given_up_whole) {
    const std::filesystem::path file = stale("MT4.emf");
    {
        graphics::BlockMetafile block(context_, file, 100, 100);
        graphics::DrawLine(context_, 0, 0, 1000, -1000, 2, 0);
        block.mark_drawn();
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    // The context is free again for the next block.
    graphics::BlockMetafile next(context_, folder_ / "5.emf", 100, 100);
    next.mark_drawn();
    EXPECT_TRUE(next.finish());
}

TEST_F(block_metafile, opening_fails_without_the_folder_or_with_a_block_still_open) {
    try {
        graphics::BlockMetafile block(context_, folder_ / "missing" / "1.emf", 100, 100);
        FAIL() << "opened in a missing folder";
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), static_cast<int>(base::ErrorNumber::path_not_found));
    }
    graphics::BlockMetafile first(context_, folder_ / "1.emf", 100, 100);
    EXPECT_THROW(graphics::BlockMetafile(context_, folder_ / "2.emf", 100, 100),
                 base::RunTimeError);
    first.mark_drawn();
    EXPECT_TRUE(first.finish());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "2.emf"));
}

}  // namespace
