// The sorbel program as varnel starts it, and on its own.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "tests/platform/os/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

using test_support::read_bytes;

// varnel, sorbel and the workbook templates in a folder of their own, with the bundled sample job beside them.
class SorbelProgramTest : public ::testing::Test {
  protected:
    SorbelProgramTest() {
        fs::create_directories(bin());
        for (const auto& entry : fs::directory_iterator(VS_PROGRAM_DIR)) {
            const std::string name = entry.path().filename().string();
            if (name == "varnel" || name == "sorbel" ||
                (name.starts_with("TMP-") && name.ends_with(".xlsx"))) {
                fs::copy_file(entry.path(), bin() / name);
            }
        }
        fs::copy(fs::path(VS_SOURCE_DIR) / "examples" / "sample", job(),
                 fs::copy_options::recursive);
        fs::create_directories(job() / "META_FILE");
        // The sample's 10.5 point text has no template: 10 points has.
        std::string mode = read_bytes(job() / "PRN_MODE");
        mode.replace(0, 3, "100");
        test_support::ScratchFolder::write_file(job() / "PRN_MODE", mode);
    }
    fs::path bin() const { return scratch_.path() / "bin"; }
    fs::path job() const { return scratch_.path() / "job"; }

    // Runs a program of bin/ without a display; returns its exit status, stderr in `errors`.
    int run(const std::string& program, const std::string& arguments) {
        const auto err = scratch_.path() / "stderr";
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                    (bin() / program).string() + "' " + arguments + " 2>'" +
                                    err.string() + "' </dev/null >/dev/null";
        const int status = std::system(command.c_str());
        errors = read_bytes(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test_support::ScratchFolder scratch_;
    std::string errors;
};

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

}  // namespace
