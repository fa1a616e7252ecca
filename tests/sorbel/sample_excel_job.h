// varnel, sorbel and the workbook templates copied into a folder of their own, with the bundled
// sample job beside them: the programs run as a user's installation runs them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "tests/platform/os/scratch_folder.h"

namespace test_support {

class SampleExcelJob : public ::testing::Test {
  protected:
    SampleExcelJob() {
        namespace fs = std::filesystem;
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
        ScratchFolder::write_file(job() / "PRN_MODE", mode);
    }
    std::filesystem::path bin() const { return scratch_.path() / "bin"; }
    std::filesystem::path job() const { return scratch_.path() / "job"; }

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

    ScratchFolder scratch_;
    std::string errors;
};

}  // namespace test_support
