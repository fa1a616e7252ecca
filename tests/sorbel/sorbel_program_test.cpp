// The sorbel program as varnel starts it, and on its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/platform/os/stranger.h"
#include "tests/sorbel/sample_excel_job.h"

namespace {

namespace fs = std::filesystem;

using test_support::read_bytes;

using SorbelProgramTest = test_support::SampleExcelJob;

TEST_F(SorbelProgramTest, varnel_starts_sorbel_which_runs_every_stage) {
    EXPECT_EQ(run("varnel", "--excel --pages 1-2 --job-dir '" + job().string() + "'"), 0) << errors;
    EXPECT_NE(errors.find("図形構築中 2/5ページ 終了"), std::string::npos) << errors;
    EXPECT_NE(errors.find("帳票構築中 1/5ページ 終了"), std::string::npos) << errors;
    EXPECT_NE(errors.find("帳票構築中 3/5ページ スキップ"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Excelファイル保存準備中"), std::string::npos) << errors;
    EXPECT_NE(errors.find("終了処理中"), std::string::npos) << errors;
    EXPECT_TRUE(fs::exists(job() / "META_FILE" / "2.emf"));
    EXPECT_TRUE(fs::exists(job() / "UDSTRING.DAT"));
}

TEST_F(SorbelProgramTest, settings_errors_reach_the_console_with_status_one) {
    EXPECT_EQ(run("sorbel", "--job-dir '" + job().string() + "'"), 1);
    EXPECT_NE(errors.find("Error - Read_PRNXLS: ファイルが見つかりません。"), std::string::npos)
        << errors;
    EXPECT_EQ(run("sorbel", "--help"), 0);
    EXPECT_EQ(run("sorbel", "--no-such-option"), 1);
}

TEST_F(SorbelProgramTest, job_folders_that_cannot_be_examined_end_with_the_reason_and_status_one) {
    EXPECT_EQ(run("sorbel", "--job-dir /no/such/folder"), 1);
    EXPECT_NE(errors.find("--job-dir: フォルダがありません: /no/such/folder"), std::string::npos)
        << errors;

    fs::create_symlink("loop", scratch_.path() / "loop");
    EXPECT_EQ(run("sorbel", "--job-dir '" + (scratch_.path() / "loop" / "job").string() + "'"), 1);
    EXPECT_NE(errors.find("Error - Read_PRNXLS: パス名が無効です。"), std::string::npos) << errors;

    const auto closed = scratch_.path() / "closed";
    const test_support::ClosedFolder closing(closed);
    test_support::open_to_strangers(scratch_.path());
    const auto err = scratch_.path() / "stranger-stderr";
    EXPECT_EQ(test_support::run_as_stranger("'" + (bin() / "sorbel").string() +
                                            "' --console --job-dir '" + (closed / "job").string() +
                                            "' 2>'" + err.string() + "'"),
              1);
    errors = read_bytes(err);
    EXPECT_NE(errors.find("Error - Read_PRNXLS: 書き込みできません。"), std::string::npos)
        << errors;
    EXPECT_NE(errors.find((closed / "job" / "PRN_XLS").string()), std::string::npos) << errors;
}

}  // namespace
