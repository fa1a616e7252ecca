// Work files written behind the caller: in their order, whole, and a failure never lost.
#include "base/work_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "tests/platform/os/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchFolder;

std::size_t entries(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++n;
    return n;
}

TEST(work_file_writer, files_are_written_whole_in_the_order_given) {
    ScratchFolder folder;
    {
        base::WorkFileWriter writer;
        for (std::size_t i = 0; i < 200; ++i) {
            writer.write(folder.path() / (std::to_string(i % 50) + ".emf"),
                         std::string(1000 + i, static_cast<char>('a' + static_cast<int>(i / 50))));
        }
        writer.finish();
        // The last of four writes to a name is the one that stays.
        EXPECT_EQ(base::load_file(folder.path() / "7.emf"), std::string(1157, 'd'));
        EXPECT_EQ(entries(folder.path()), 50u);

        // Given and not waited for: written before the writer goes.
        writer.write(folder.path() / "late.png", "late");
    }
    EXPECT_EQ(base::load_file(folder.path() / "late.png"), "late");
    EXPECT_EQ(entries(folder.path()), 51u);
}

TEST(work_file_writer, a_failure_is_thrown_naming_its_file_and_nothing_after_it_is_written) {
    ScratchFolder folder;
    fs::create_directories(folder.path() / "2.emf" / "kept");
    base::WorkFileWriter writer;
    writer.write(folder.path() / "1.emf", "one");
    writer.write(folder.path() / "2.emf", "two");
    try {
        writer.finish();
        ADD_FAILURE() << "the folder in the way went unseen";
    } catch (const base::RunTimeError& e) {
        EXPECT_NE(std::string(e.what()).find("2.emf"), std::string::npos) << e.what();
    }
    // Every later call tells the same failure; the file given after it stays unwritten.
    EXPECT_THROW(writer.write(folder.path() / "3.emf", "three"), base::RunTimeError);
    EXPECT_THROW(writer.finish(), base::RunTimeError);
    EXPECT_EQ(base::load_file(folder.path() / "1.emf"), "one");
    EXPECT_FALSE(fs::exists(folder.path() / "3.emf"));
    EXPECT_TRUE(fs::exists(folder.path() / "2.emf" / "kept"));
    EXPECT_EQ(entries(folder.path()), 2u);  // no temporary file left
}

}  // namespace
