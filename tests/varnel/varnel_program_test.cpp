// The varnel program as the user starts it on a console.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "platform/ooxml/package_reader.h"
#include "tests/platform/os/scratch_folder.h"
#include "tests/platform/os/stranger.h"

namespace {

namespace fs = std::filesystem;

using test_support::read_bytes;

void write_bytes(const fs::path& file, const std::string& bytes) {
    test_support::ScratchFolder::write_file(file, bytes);
}

// A copy of varnel in a folder of its own, with a job folder beside it.
class VarnelProgramTest : public ::testing::Test {
  protected:
    VarnelProgramTest() {
        fs::create_directories(bin());
        fs::create_directories(job());
        fs::copy_file(fs::path(VS_PROGRAM_DIR) / "varnel", bin() / "varnel");
        write_bytes(job() / "PRN_MODE", "105,\"MS Mincho\",200,150,200,150,12,10,125\r\n");
    }
    fs::path bin() const { return scratch_.path() / "bin"; }
    fs::path job() const { return scratch_.path() / "job"; }

    // Runs varnel without a display; returns its exit status, stderr in `errors`.
    int varnel(const std::string& arguments) {
        const auto err = scratch_.path() / "stderr";
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                    (bin() / "varnel").string() + "' " + arguments + " 2>'" +
                                    err.string() + "' </dev/null";
        const int status = std::system(command.c_str());
        errors = read_bytes(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The same as a user the tests' closed folders are closed to.
    int varnel_as_stranger(const std::string& arguments) {
        test_support::open_to_strangers(scratch_.path());
        const auto err = scratch_.path() / ("stderr-" + std::to_string(++stranger_runs_));
        const int status = test_support::run_as_stranger(
            "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + (bin() / "varnel").string() +
            "' " + arguments + " 2>'" + err.string() + "' </dev/null");
        errors = read_bytes(err);
        return status;
    }

    test_support::ScratchFolder scratch_;
    std::string errors;
    int stranger_runs_ = 0;
};

TEST_F(VarnelProgramTest, excel_route_on_a_console_waits_for_sorbel_and_returns_its_status) {
    test_support::ScratchFolder::write_file(
        bin() / "sorbel",
        "#!/bin/sh\n"
        "printf '%s|' \"$@\" > \"$(dirname \"$0\")/arguments\"\n"
        "pwd > \"$(dirname \"$0\")/folder\"\n"
        "sleep 1\n"
        "touch \"$(dirname \"$0\")/finished\"\n"
        "exit 3\n",
        0755);

    EXPECT_EQ(varnel("--excel --pages 2-5 --lines thin --job-dir '" + job().string() + "'"), 3)
        << errors;
    // varnel returned only after sorbel had finished.
    EXPECT_TRUE(fs::exists(bin() / "finished"));
    EXPECT_EQ(read_bytes(bin() / "arguments"), "--job-dir|" + job().string() + "|");
    EXPECT_EQ(read_bytes(bin() / "folder"), bin().string() + "\n");
    EXPECT_EQ(read_bytes(job() / "PRN_XLS"),
              " 2 , 5 \r\n" + job().string() + "/Book1\r\n1, 50 \r\n0\r\n1\r\n");
    EXPECT_EQ(read_bytes(job() / "PATH_INI"), "\"" + job().string() + "\"\r\n");
}

TEST_F(VarnelProgramTest, word_route_on_a_console_shows_progress_and_saves_the_document) {
    fs::copy(fs::path(VS_SOURCE_DIR) / "examples" / "sample", job(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const auto output = scratch_.path() / "out" / "月報.docx";
    fs::create_directories(output.parent_path());
    EXPECT_EQ(varnel("--job-dir '" + job().string() + "' --output '" + output.string() + "'"), 0)
        << errors;
    EXPECT_TRUE(fs::exists(output));
    EXPECT_NE(errors.find("Page 1/"), std::string::npos) << errors;
    EXPECT_EQ(read_bytes(job() / "PATH_INI"), "\"" + output.parent_path().string() + "\"\r\n");
}

TEST_F(VarnelProgramTest, a_document_saved_with_parts_left_out_says_so) {
    // The text ends on its first page, without its page line: saved, told, status 3.
    write_bytes(job() / "PRN_CHAR",
                "PAGE,0\r\nBLOCK,1,200,150,1900,400,0,0\r\nLABEL,200,37.04,0,0,\"x\"\r\n");
    write_bytes(job() / "PRN_PICT", "PRN_PICT\r\n");
    const auto output = job() / "out.docx";
    EXPECT_EQ(
        varnel("--console --job-dir '" + job().string() + "' --output '" + output.string() + "'"),
        3)
        << errors;
    EXPECT_TRUE(fs::exists(output));
    EXPECT_NE(errors.find("varnel: PRN_CHAR が途中で終わっています：1ページ"), std::string::npos)
        << errors;
}

TEST_F(VarnelProgramTest, failures_and_refusals_are_told_on_stderr) {
    // No sorbel beside varnel.
    EXPECT_EQ(varnel("--console --excel --job-dir '" + job().string() + "'"), 1);
    EXPECT_NE(errors.find("エラー: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("sorbel"), std::string::npos) << errors;

    fs::remove(job() / "PRN_XLS");
    EXPECT_EQ(varnel("--console --pages 5-3 --job-dir '" + job().string() + "'"), 2);
    EXPECT_NE(errors.find("注意: "), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(job() / "PRN_XLS"));

    fs::remove(job() / "PRN_MODE");
    EXPECT_EQ(varnel("--console --job-dir '" + job().string() + "'"), 1);
    EXPECT_NE(errors.find("PRN_MODE"), std::string::npos) << errors;

    EXPECT_EQ(varnel("--pages"), 2);
}

TEST_F(VarnelProgramTest, a_job_past_the_page_limit_is_refused_before_the_dialog) {
    write_bytes(job() / "PRN_MODE", "105,\"MS Mincho\",200,150,200,150,40000,10,125\r\n");
    const auto output = job() / "out.docx";
    EXPECT_EQ(varnel("--console --word --job-dir '" + job().string() + "' --output '" +
                     output.string() + "'"),
              1);
    EXPECT_NE(errors.find("ページ数 40000 のジョブは変換できません。変換できるのは 32767 "
                          "ページまでです。"),
              std::string::npos)
        << errors;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(job() / "PRN_XLS"));
    EXPECT_FALSE(fs::exists(job() / "PATH_INI"));
}

TEST_F(VarnelProgramTest, folders_that_cannot_be_examined_end_with_the_reason_and_status_one) {
    // A loop of symbolic links on the way to the job folder.
    fs::create_symlink("loop", scratch_.path() / "loop");
    const auto looped = scratch_.path() / "loop" / "job";
    EXPECT_EQ(varnel("--console --job-dir '" + looped.string() + "'"), 1) << errors;
    EXPECT_NE(errors.find("エラー: ジョブのフォルダを調べられません。\n" + looped.string() +
                          "\nパス名が無効です。"),
              std::string::npos)
        << errors;

    // A job folder, and an output folder, inside a folder the user may not enter.
    const auto closed = scratch_.path() / "closed";
    const test_support::ClosedFolder closing(closed);
    test_support::open_to_strangers(job());
    EXPECT_EQ(varnel_as_stranger("--console --job-dir '" + (closed / "job").string() + "'"), 1)
        << errors;
    EXPECT_NE(errors.find("ジョブのフォルダを調べられません。\n" + (closed / "job").string() +
                          "\n書き込みできません。"),
              std::string::npos)
        << errors;
    EXPECT_EQ(varnel_as_stranger("--console --job-dir '" + job().string() + "' --output '" +
                                 (closed / "out" / "doc.docx").string() + "'"),
              1)
        << errors;
    EXPECT_NE(errors.find("注意: 指定したフォルダを調べられません。\n書き込みできません。\n" +
                          (closed / "out").string()),
              std::string::npos)
        << errors;
    for (const char* english : {"filesystem", "terminate", "Permission"}) {
        EXPECT_EQ(errors.find(english), std::string::npos) << errors;
    }
}

// Every part of a package, the times of the run in its properties masked.
std::map<std::string, std::string> parts_but_times(const fs::path& file) {
    const ooxml::PackageReader package(file);
    std::map<std::string, std::string> parts;
    for (const std::string& name : package.part_names()) parts[name] = package.read(name);
    static const std::regex time(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)");
    parts["docProps/core.xml"] = std::regex_replace(parts["docProps/core.xml"], time, "TIME");
    return parts;
}

// The bundled sample as the demo converts it, part for part and byte for byte but for the time
// it was made: a change of the document writer that should change nothing shows here first. A
// change meant to alter the sample's document replaces data/sample.docx with the new result,
// after a look at it in an office program.
TEST_F(VarnelProgramTest, bundled_sample_gives_the_reference_document) {
    fs::copy(fs::path(VS_SOURCE_DIR) / "examples" / "sample", job(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const auto output = job() / "文書.docx";
    EXPECT_EQ(varnel("--console --job-dir '" + job().string() + "' --word --output '" +
                     output.string() + "'"),
              0)
        << errors;
    EXPECT_TRUE(parts_but_times(output) ==
                parts_but_times(fs::path(VS_TEST_DATA_DIR) / "sample.docx"))
        << "the sample's document differs from tests/varnel/data/sample.docx";
}

}  // namespace
