// The sorbel program as varnel starts it, and on its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/os/stranger.h"
#include "tests/sorbel/sample_excel_job.h"

namespace {

namespace fs = std::filesystem;

using test_support::read_bytes;

using SorbelProgramTest = test_support::SampleExcelJob;

// The file's header line and its pages, each with the PAGE line that ends it.
std::pair<std::string, std::vector<std::string>> pages_of(const std::string& bytes) {
    std::size_t at = bytes.find("\r\n") + 2;
    const std::string header = bytes.substr(0, at);
    std::vector<std::string> pages;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", bytes.find("\r\nPAGE", at - 2) + 2) + 2;
        pages.push_back(bytes.substr(at, end - at));
        at = end;
    }
    return {header, pages};
}

class LongJob : public test_support::SampleExcelJob {
  protected:
    // The sample's pages over and over, `count` of them: a workbook that takes a while to save.
    void lengthen(int count) {
        for (const char* name : {"PRN_CHAR", "PRN_PICT"}) {
            const auto [header, pages] = pages_of(read_bytes(job() / name));
            std::string bytes = name == std::string("PRN_PICT")
                                    ? "PRN_PICT," + std::to_string(count) + "\r\n"
                                    : header;
            for (int page = 0; page < count; ++page) {
                const std::string& text = pages[static_cast<std::size_t>(page) % pages.size()];
                const std::size_t page_line = text.rfind("PAGE");
                bytes += text.substr(0, page_line) + "PAGE," + std::to_string(page + 1) + "\r\n";
            }
            test_support::ScratchFolder::write_file(job() / name, bytes);
        }
        std::string mode = read_bytes(job() / "PRN_MODE");
        std::size_t field = 0;
        for (int i = 0; i < 6; ++i) field = mode.find(',', field) + 1;
        mode.replace(field, mode.find(',', field) - field, std::to_string(count));
        test_support::ScratchFolder::write_file(job() / "PRN_MODE", mode);
    }

    // Runs a program of bin/ as run() does and sends it `signal` once its stderr shows `marker`.
    int signal_when(const std::string& program, const std::string& arguments,
                    const std::string& marker, int signal) {
        const auto err = scratch_.path() / "stderr";
        std::filesystem::remove(err);
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string command =
                "exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                (bin() / program).string() + "' " + arguments + " 2>'" + err.string() +
                "' </dev/null >/dev/null";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        bool sent = false;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (!sent && read_bytes(err).find(marker) != std::string::npos) {
                kill(pid, signal);
                sent = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        errors = read_bytes(err);
        EXPECT_TRUE(sent) << marker << " never came:\n" << errors;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::vector<std::string> temporary_files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(job())) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(".tmp")) names.push_back(name);
        }
        return names;
    }
};

TEST_F(LongJob, terminate_and_hangup_while_saving_cancel_as_an_interrupt_does) {
    // Saving copies sheets that were finished while the pages were read: a save of many small
    // sheets is long enough for the signal to arrive while it goes on.
    lengthen(800);
    const std::string earlier = "the workbook of an earlier run";
    const auto book = job() / "Book1.xlsx";
    const std::string prn_xls = " 1 , 800 \r\n" + job().string() + "/Book1\r\n1, 5 \r\n0\r\n0\r\n";
    for (const int signal : {SIGTERM, SIGHUP}) {
        test_support::ScratchFolder::write_file(book, earlier);
        test_support::ScratchFolder::write_file(job() / "PRN_XLS", prn_xls);
        EXPECT_EQ(signal_when("sorbel", "--job-dir '" + job().string() + "'",
                              "Excelファイル保存中 1/160", signal),
                  2)
            << errors;
        EXPECT_EQ(read_bytes(book), earlier);
        EXPECT_EQ(temporary_files(), std::vector<std::string>{});
    }
    // varnel waiting for sorbel passes the signal on and returns sorbel's status.
    EXPECT_EQ(signal_when("varnel",
                          "--console --excel --sheet-pages 5 --job-dir '" + job().string() + "'",
                          "Excelファイル保存中 1/160", SIGTERM),
              2)
        << errors;
    EXPECT_EQ(read_bytes(book), earlier);
    EXPECT_EQ(temporary_files(), std::vector<std::string>{});
    // The Word route, half-way.
    const auto document = job() / "doc.docx";
    test_support::ScratchFolder::write_file(document, earlier);
    EXPECT_EQ(signal_when("varnel",
                          "--console --word --output '" + document.string() + "' --job-dir '" +
                              job().string() + "'",
                          "Page 100/", SIGTERM),
              2)
        << errors;
    EXPECT_EQ(read_bytes(document), earlier);
    EXPECT_EQ(temporary_files(), std::vector<std::string>{});
}

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
