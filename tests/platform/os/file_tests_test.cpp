#include "platform/os/file_tests.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"
#include "scratch_folder.h"

namespace {

TEST(file_tests, folders_and_office_lock_files) {
    test_support::ScratchFolder scratch;
    EXPECT_TRUE(os::folder_exists(scratch.path()));
    EXPECT_FALSE(os::folder_exists(scratch.path() / "missing"));
    EXPECT_FALSE(os::folder_exists(scratch.file("plain", "")));
    EXPECT_FALSE(os::folder_exists(""));
    EXPECT_FALSE(os::folder_exists(scratch.path() / "plain" / "below"));

    // A folder that cannot be examined is not a missing one: the user must learn why.
    std::filesystem::create_symlink("loop", scratch.path() / "loop");
    try {
        os::folder_exists(scratch.path() / "loop" / "out");
        ADD_FAILURE() << "no error";
    } catch (const base::RunTimeError& error) {
        EXPECT_EQ(error.description(), "パス名が無効です。");
        EXPECT_NE(error.context().find((scratch.path() / "loop" / "out").string()),
                  std::string::npos);
    }

    const auto document = scratch.path() / "月報.docx";
    EXPECT_FALSE(os::office_lock_file(document));
    scratch.file("~$月報.docx", "");
    EXPECT_EQ(os::office_lock_file(document), scratch.path() / "~$月報.docx");
    EXPECT_FALSE(os::office_lock_file(scratch.path() / "月報.xlsx"));
    scratch.file(".~lock.月報.xlsx#", "");
    EXPECT_EQ(os::office_lock_file(scratch.path() / "月報.xlsx"),
              scratch.path() / ".~lock.月報.xlsx#");
}

}  // namespace
