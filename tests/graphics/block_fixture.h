// A block metafile to draw into, read back through the metafile checker; every test ends with
// nothing left but the objects it made on purpose.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "graphics/block_metafile.h"
#include "graphics/drawing_context.h"
#include "tests/platform/emf/metafile_check.h"

namespace graphics_test {

// "ＭＳ 明朝" in CP932.
inline const std::string mincho = "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9";

class BlockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("graphics_") + info->test_suite_name() + "_" + info->name() + "_" +
                   std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        context_.Font_Name = mincho;
        block_.emplace(context_, file(), 21000, 5000);
        block_->mark_drawn();
    }

    void TearDown() override {
        block_.reset();
        EXPECT_EQ(context_.gdi.object_count(), 0u);
        EXPECT_EQ(context_.gdi.surface_count(), 0u);
        EXPECT_EQ(context_.gdi.metafile_count(), 0u);
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path file() const { return folder_ / "1.emf"; }

    // Closes the block and reads what it drew.
    emftest::Metafile finish() {
        block_->finish();
        return emftest::load_checked(file());
    }

    std::filesystem::path folder_;
    graphics::DrawingContext context_;
    std::optional<graphics::BlockMetafile> block_;
};

}  // namespace graphics_test
