#include "sorbel/driver/run_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/platform/os/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchFolder;

struct Message {
    ui::MessageIcon icon;
    std::string title;
    std::string text;
};

class RecordingBackend : public ui::Backend {
  public:
    void message_box(ui::MessageIcon icon, const std::string& title,
                     const std::string& text) override {
        messages.push_back({icon, title, text});
    }
    std::optional<std::string> save_file_box(const ui::FileBoxRequest&) override {
        return std::nullopt;
    }
    void show_modal(ui::Form& form, ui::FormEvents&) override { form.mark_loaded(); }
    void show(ui::Form& form, ui::FormEvents&) override {
        form.mark_loaded();
        shown = &form;
    }
    void yield() override {}
    void close(ui::Form& form) override {
        form.unload();
        closed = true;
        last_status = form.text("Label1");
    }
    void set_busy_pointer(bool b) override { busy = b; }

    std::vector<Message> messages;
    ui::Form* shown = nullptr;
    bool closed = false;
    bool busy = false;
    std::string last_status;
};

// Stages that record what they were given; each does what its function says.
class FakeStages : public driver::Stages {
  public:
    using Step = std::function<driver::StageOutcome(driver::MessageWindow&)>;

    driver::StageOutcome Make_MetaFile(const driver::SorbelSettings& s,
                                       driver::MessageWindow& w) override {
        return record("Make_MetaFile", s, w, meta);
    }
    driver::StageOutcome Make_XlsFile(const driver::SorbelSettings& s,
                                      driver::MessageWindow& w) override {
        return record("Make_XlsFile", s, w, xls);
    }
    driver::StageOutcome Set_UpDown_Excel(const driver::SorbelSettings& s,
                                          driver::MessageWindow& w) override {
        return record("Set_UpDown_Excel", s, w, updown);
    }

    std::vector<std::string> called;
    driver::SorbelSettings given;
    std::vector<std::string> metafiles_seen;
    Step meta, xls, updown;

  private:
    driver::StageOutcome record(const std::string& name, const driver::SorbelSettings& s,
                                driver::MessageWindow& w, const Step& step) {
        called.push_back(name);
        given = s;
        if (name == "Make_MetaFile") {
            for (const auto& entry : fs::directory_iterator(s.job_dir / "META_FILE")) {
                metafiles_seen.push_back(entry.path().filename().string());
            }
        }
        return step ? step(w) : driver::StageOutcome::completed;
    }
};

class SorbelRunSequenceTest : public ::testing::Test {
  protected:
    SorbelRunSequenceTest() {
        fs::create_directories(job() / "META_FILE");
        mode("100,\"MS Gothic\",150,200,150,250,12,10,150\r\n");
        xls(" 1 , 12 \r\nBook1\r\n1, 50 \r\n0\r\n0\r\n");
    }
    fs::path job() const { return job_.path(); }
    void mode(const std::string& bytes) const {
        ScratchFolder::write_file(job() / "PRN_MODE", bytes);
    }
    void xls(const std::string& bytes) const {
        ScratchFolder::write_file(job() / "PRN_XLS", bytes);
    }
    int run() {
        return driver::run_sorbel({.program_dir = "/prog", .job_dir = job()}, ui_, stages_);
    }
    std::vector<std::string> job_files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(job())) {
            names.push_back(fs::relative(entry.path(), job()).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder job_;
    RecordingBackend ui_;
    FakeStages stages_;
};

TEST_F(SorbelRunSequenceTest, reversed_range_is_swapped_and_the_stages_run_in_order) {
    xls(" 10 , 3 \r\nBook1\r\n0, 50 \r\n1\r\n1\r\n");
    EXPECT_EQ(run(), driver::exit_converted);
    EXPECT_EQ(stages_.called,
              (std::vector<std::string>{"Make_MetaFile", "Make_XlsFile", "Set_UpDown_Excel"}));
    const driver::SorbelSettings& s = stages_.given;
    EXPECT_EQ(s.xls.Start_Page, 3);
    EXPECT_EQ(s.xls.End_Page, 10);
    EXPECT_EQ(s.xls.Xls_File, job() / "Book1.xlsx");
    EXPECT_EQ(s.xls.Sheet_SW, 0);
    EXPECT_EQ(s.xls.Cell_Wide, 1);
    EXPECT_EQ(s.mode.Template_File, "/prog/TMP-10PW.xlsx");
    EXPECT_DOUBLE_EQ(s.mode.Row_Pitch, 15.75);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_TRUE(ui_.closed);
    EXPECT_EQ(ui_.last_status, "変換終了");
}

TEST_F(SorbelRunSequenceTest, page_range_outside_the_job_is_refused_before_anything_is_touched) {
    ScratchFolder::write_file(job() / "META_FILE" / "1.emf", "old");
    const auto before = job_files();
    const std::vector<std::pair<std::string, std::string>> cases{
        {" 0 , 3 ", "開始ページの設定を確認して下さい。"},
        {" 13 , 3 ", "開始ページの設定を確認して下さい。"},
        {" 1 , 13 ", "終了ページの設定を確認して下さい。"},
        {" 2 , 0 ", "終了ページの設定を確認して下さい。"},
    };
    for (const auto& [range, text] : cases) {
        ui_.messages.clear();
        xls(range + "\r\nBook1\r\n1, 50 \r\n0\r\n0\r\n");
        EXPECT_EQ(run(), driver::exit_failed) << range;
        ASSERT_EQ(ui_.messages.size(), 1u) << range;
        EXPECT_EQ(ui_.messages[0].title, "確認");
        EXPECT_EQ(ui_.messages[0].text, text);
        EXPECT_EQ(ui_.messages[0].icon, ui::MessageIcon::none);
    }
    EXPECT_TRUE(stages_.called.empty());
    EXPECT_EQ(ui_.shown, nullptr);
    EXPECT_EQ(job_files(), before);
}

TEST_F(SorbelRunSequenceTest, a_sheet_size_whose_rows_do_not_fit_is_refused_before_any_stage) {
    ScratchFolder::write_file(job() / "META_FILE" / "1.emf", "old");
    const auto before = job_files();
    xls(" 1 , 3 \r\nBook1\r\n1, 600 \r\n0\r\n0\r\n");
    EXPECT_EQ(run(), driver::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "確認");
    EXPECT_EQ(ui_.messages[0].text,
              "1シートのページ数の設定を確認して下さい。1～504 ページにできます。");
    EXPECT_TRUE(stages_.called.empty());
    EXPECT_EQ(job_files(), before);

    ui_.messages.clear();
    xls(" 1 , 3 \r\nBook1\r\n1, 504 \r\n0\r\n0\r\n");
    EXPECT_EQ(run(), driver::exit_converted);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(SorbelRunSequenceTest, unsupported_size_shows_its_box_and_writes_nothing) {
    mode("105,\"MS Gothic\",150,200,150,250,12,10,150\r\n");
    ScratchFolder::write_file(job() / "META_FILE" / "1.emf", "old");
    const auto before = job_files();
    EXPECT_EQ(run(), driver::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Pellora → Excel");
    EXPECT_TRUE(ui_.messages[0].text.starts_with("文字サイズ 10.5 pointには対応していません。"));
    EXPECT_TRUE(stages_.called.empty());
    EXPECT_EQ(job_files(), before);
}

TEST_F(SorbelRunSequenceTest, unreadable_settings_files_end_in_their_error_boxes) {
    fs::remove(job() / "PRN_XLS");
    EXPECT_EQ(run(), driver::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Error - Read_PRNXLS");
    EXPECT_EQ(ui_.messages[0].icon, ui::MessageIcon::exclamation);
    EXPECT_TRUE(ui_.messages[0].text.starts_with("ファイルが見つかりません。\r\n"));
    EXPECT_TRUE(ui_.messages[0].text.ends_with("\r\n\r\n処理を中止します。"));

    ui_.messages.clear();
    xls(" 1 , 2 \r\n\r\n1, 50 \r\n0\r\n0\r\n");  // no workbook name
    EXPECT_EQ(run(), driver::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Error - Read_PRNXLS");
    EXPECT_TRUE(ui_.messages[0].text.starts_with("ファイル名または番号が不正です。"));

    ui_.messages.clear();
    xls(" 1 , 2 \r\nBook1\r\n1, 50 \r\n0\r\n0\r\n");
    mode("120,\"MS Gothic\",150,200,150,250,twelve,10,150\r\n");
    EXPECT_EQ(run(), driver::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Error - Read_PRNMODE");
    EXPECT_TRUE(ui_.messages[0].text.starts_with("型が一致しません。"));
    EXPECT_TRUE(stages_.called.empty());
}

TEST_F(SorbelRunSequenceTest, a_job_past_the_page_limit_is_refused_before_the_first_stage) {
    mode("120,\"MS Gothic\",150,200,150,250,32768,10,150\r\n");
    ScratchFolder::write_file(job() / "META_FILE" / "1.emf", "old");
    const auto before = job_files();
    EXPECT_EQ(run(), driver::exit_failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "Error - Read_PRNMODE");
    EXPECT_TRUE(ui_.messages[0].text.starts_with(
        "ページ数 32768 のジョブは変換できません。変換できるのは 32767 ページまでです。"))
        << ui_.messages[0].text;
    EXPECT_TRUE(stages_.called.empty());
    EXPECT_EQ(job_files(), before);
}

TEST_F(SorbelRunSequenceTest, only_old_metafiles_and_pictures_are_deleted_before_the_first_stage) {
    for (const char* name : {"1.emf", "MT3.emf", "1.png", "notes.txt", "temp.bmp"}) {
        ScratchFolder::write_file(job() / "META_FILE" / name, "x");
    }
    fs::create_directory(job() / "META_FILE" / "kept.emf");
    EXPECT_EQ(run(), driver::exit_converted);
    std::sort(stages_.metafiles_seen.begin(), stages_.metafiles_seen.end());
    EXPECT_EQ(stages_.metafiles_seen,
              (std::vector<std::string>{"kept.emf", "notes.txt", "temp.bmp"}));
}

TEST_F(SorbelRunSequenceTest, a_stage_that_fails_or_is_cancelled_ends_the_run_with_its_status) {
    stages_.xls = [](driver::MessageWindow&) { return driver::StageOutcome::failed; };
    EXPECT_EQ(run(), driver::exit_failed);
    EXPECT_EQ(stages_.called, (std::vector<std::string>{"Make_MetaFile", "Make_XlsFile"}));
    EXPECT_NE(ui_.last_status, "変換終了");

    stages_.called.clear();
    stages_.xls = nullptr;
    stages_.meta = [](driver::MessageWindow& w) {
        w.frm_msg().click("Command1");
        w.frm_msg().click("Command1");
        return w.cancel_requested() ? driver::StageOutcome::cancelled
                                    : driver::StageOutcome::completed;
    };
    EXPECT_EQ(run(), driver::exit_cancelled);
    EXPECT_EQ(stages_.called, (std::vector<std::string>{"Make_MetaFile"}));
}

TEST_F(SorbelRunSequenceTest, stages_see_the_window_shown_and_their_warnings_reach_the_user) {
    stages_.meta = [this](driver::MessageWindow& w) {
        EXPECT_NE(ui_.shown, nullptr);
        EXPECT_TRUE(ui_.shown->loaded());
        EXPECT_EQ(ui_.shown->text("Label1"), "");
        EXPECT_FALSE(w.cancel_requested());
        w.set_busy_pointer(true);
        w.add_warning("3ページ: 図形を読み飛ばしました");
        return driver::StageOutcome::completed;
    };
    EXPECT_EQ(run(), driver::exit_converted_with_warnings);
    EXPECT_FALSE(ui_.busy);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "注意");
    EXPECT_EQ(ui_.messages[0].text, "3ページ: 図形を読み飛ばしました\r\n");
}

}  // namespace
