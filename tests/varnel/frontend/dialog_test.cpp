#include "varnel/frontend/dialog.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using frontend_test::read_bytes;
using frontend_test::write_bytes;

class DialogTest : public ::testing::Test {
  protected:
    void open(std::int16_t page_count = 12, bool console = false) {
        dialog_ = std::make_unique<frontend::Dialog>(
            ui_, run_, form1_,
            frontend::DialogSettings{.job_dir = job_.path(),
                                     .Page_Count = page_count,
                                     .report_silent_refusals = console});
        dialog_->Cansel_SW = false;
        dialog_->load();
        dialog_->form().mark_loaded();
    }
    frontend::Dialog& dialog() { return *dialog_; }
    std::string job(const std::string& rest) const { return job_.path().string() + rest; }
    bool closed_with_ok() const { return !dialog_->form().loaded() && !dialog_->Cansel_SW; }
    bool exists(const char* name) const { return std::filesystem::exists(job_.path() / name); }

    frontend_test::ScratchFolder job_;
    frontend_test::RecordingBackend ui_;
    frontend::RunVariables run_;
    frontend::Form1 form1_;
    std::unique_ptr<frontend::Dialog> dialog_;
};

TEST(dialog_paths, only_the_file_names_extension_is_removed) {
    EXPECT_EQ(frontend::without_extension("/data/my.docs/report.docx"), "/data/my.docs/report");
    EXPECT_EQ(frontend::without_extension("/data/my.docs/report"), "/data/my.docs/report");
    EXPECT_EQ(frontend::without_extension("report.tar.docx"), "report.tar");
    EXPECT_EQ(frontend::folder_part("/data/my.docs/report"), "/data/my.docs");
    EXPECT_EQ(frontend::folder_part("/report"), "/");
    EXPECT_EQ(frontend::folder_part("report"), "");
}

TEST_F(DialogTest, load_proposes_the_remembered_folder_or_the_job_folder) {
    open();
    EXPECT_EQ(dialog().form().text("doc_name"), job("/文書.docx"));
    EXPECT_EQ(dialog().form().text("Text3"), job("/Book1.xlsx"));
    EXPECT_EQ(dialog().form().text("Text2"), "12");
    EXPECT_TRUE(dialog().form().checked("Opt_Page(0)"));
    EXPECT_FALSE(dialog().form().checked("Opt_Page(1)"));
    EXPECT_TRUE(dialog().Cansel_SW);

    // "/data/出力" in CP932.
    write_bytes(job_.path() / "PATH_INI", "\"/data/\x8f\x6f\x97\xcd\"\r\n");
    open();
    EXPECT_EQ(dialog().path_txt, "/data/出力");
    EXPECT_EQ(dialog().form().text("doc_name"), "/data/出力/文書.docx");
}

TEST_F(DialogTest, ok_on_the_word_route_stores_the_choices_writes_both_files_and_closes) {
    std::filesystem::create_directory(job_.path() / "out");
    open();
    dialog().enter_text("Text1", "3");
    dialog().enter_text("Text2", "10");
    EXPECT_TRUE(dialog().form().checked("Opt_Page(1)"));
    dialog().select("Opt_Matrix(1)");
    dialog().enter_text("doc_name", job("/out/report.docx"));
    dialog().click("OKButton");

    ASSERT_TRUE(closed_with_ok());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(run_.Start_Page, 3);
    EXPECT_EQ(run_.End_Page, 10);
    EXPECT_FALSE(run_.Matrix_SW);
    EXPECT_TRUE(run_.Word_SW);
    EXPECT_FALSE(run_.Split_SW);
    EXPECT_EQ(run_.Doc_Name, "report");
    EXPECT_EQ(dialog().form().text("doc_name"), job("/out/report"));
    EXPECT_EQ(form1_.form().text("doc_name"), "report.docx");
    EXPECT_EQ(dialog().path_txt, job("/out"));
    EXPECT_EQ(read_bytes(job_.path() / "PRN_XLS"),
              " 3 , 10 \r\n" + job("/Book1") + "\r\n1, 50 \r\n0\r\n0\r\n");
    EXPECT_EQ(read_bytes(job_.path() / "PATH_INI"), "\"" + job("/out") + "\"\r\n");
}

TEST_F(DialogTest, page_ranges_that_select_no_page_are_refused_before_anything_is_written) {
    open();
    for (const auto& [first, last] : {std::pair{"5", "3"}, {"0", "0"}, {"20", "30"}}) {
        dialog().enter_text("Text1", first);
        dialog().enter_text("Text2", last);
        dialog().click("OKButton");
        EXPECT_TRUE(dialog().form().loaded()) << first << "-" << last;
    }
    EXPECT_TRUE(dialog().Cansel_SW);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_FALSE(exists("PRN_XLS"));

    // A job without pages cannot be converted as "all pages" either.
    open(0);
    dialog().click("OKButton");
    EXPECT_TRUE(dialog().form().loaded());
    EXPECT_FALSE(exists("PRN_XLS"));

    // On a console the refusal is reported, as nobody sees the dialog stay open.
    open(12, true);
    dialog().enter_text("Text1", "5");
    dialog().enter_text("Text2", "3");
    dialog().click("OKButton");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "注意");
}

TEST_F(DialogTest, range_is_clamped_to_the_job_and_numbers_beyond_16_bits_are_refused) {
    open();
    dialog().enter_text("Text1", "-4");
    dialog().enter_text("Text2", "99");
    dialog().click("OKButton");
    EXPECT_TRUE(closed_with_ok());
    EXPECT_EQ(run_.Start_Page, 1);
    EXPECT_EQ(run_.End_Page, 12);
    EXPECT_EQ(read_bytes(job_.path() / "PRN_XLS").substr(0, 10), " 1 , 12 \r\n");

    open();
    dialog().enter_text("Text2", "40000");
    dialog().click("OKButton");
    EXPECT_TRUE(dialog().form().loaded());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].icon, ui::MessageIcon::exclamation);
}

TEST_F(DialogTest, split_needs_a_page_count_that_rounds_to_at_least_one) {
    struct Case {
        const char* page;
        bool split;
    };
    for (const auto& c :
         {Case{"30", true}, Case{"0", false}, Case{"0.4", false}, Case{"x", false}}) {
        open();
        dialog().select("Check1");
        dialog().enter_text("page", c.page);
        dialog().click("OKButton");
        ASSERT_TRUE(closed_with_ok()) << c.page;
        EXPECT_EQ(run_.Split_SW, c.split) << c.page;
        if (c.split) {
            EXPECT_EQ(run_.Split_Page, 30);
        }
        // The first part's name is shown whatever the split size.
        EXPECT_EQ(form1_.form().text("doc_name"), "文書1.docx");
    }

    open();
    dialog().select("Check1");
    dialog().enter_text("page", "70000");
    dialog().click("OKButton");
    EXPECT_TRUE(dialog().form().loaded());
    EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(DialogTest, excel_route_hands_its_choices_to_sorbel) {
    open();
    dialog().select("Opt_ms(1)");
    EXPECT_FALSE(dialog().form().control("Frame1").visible);
    EXPECT_FALSE(dialog().form().control("Frame3").visible);
    EXPECT_TRUE(dialog().form().control("Frame5").visible);
    EXPECT_TRUE(dialog().form().control("Frame6").visible);
    EXPECT_TRUE(dialog().form().control("Frame7").visible);
    dialog().select("Option1(1)");
    dialog().select("Option1(2)");
    // The two pairs of Option1 are independent groups.
    EXPECT_TRUE(dialog().form().checked("Option1(1)"));
    EXPECT_TRUE(dialog().form().checked("Option1(2)"));
    dialog().enter_text("Text3", "Book2.xlsx");
    dialog().enter_text("Text4", "50.5");
    dialog().click("OKButton");

    ASSERT_TRUE(closed_with_ok());
    EXPECT_FALSE(run_.Word_SW);
    // A workbook name without a folder lies in the job folder.
    EXPECT_EQ(dialog().path_txt, job_.path().string());
    EXPECT_EQ(read_bytes(job_.path() / "PRN_XLS"), " 1 , 12 \r\nBook2\r\n1, 50.5 \r\n1\r\n1\r\n");
}

TEST_F(DialogTest, sheet_sizes_whose_rows_a_sheet_cannot_hold_are_refused_on_the_excel_route) {
    open();
    dialog().select("Opt_ms(1)");
    // 505 pages of 65 rows pass 32767 rows; 504.5 is read back as 504, 504.6 as 505.
    for (const char* refused : {"505", "600", "504.6", "40000", "0", "abc"}) {
        ui_.messages.clear();
        dialog().enter_text("Text4", refused);
        dialog().click("OKButton");
        EXPECT_TRUE(dialog().form().loaded()) << refused;
        EXPECT_TRUE(dialog().Cansel_SW) << refused;
        ASSERT_EQ(ui_.messages.size(), 1u) << refused;
        EXPECT_EQ(ui_.messages[0].title, "注意");
        EXPECT_EQ(ui_.messages[0].icon, ui::MessageIcon::exclamation);
        EXPECT_TRUE(ui_.messages[0].text.starts_with("1シートのページ数には 1～504 の数を"))
            << ui_.messages[0].text;
        EXPECT_FALSE(exists("PRN_XLS")) << refused;
    }
    dialog().enter_text("Text4", "504.5");
    dialog().click("OKButton");
    ASSERT_TRUE(closed_with_ok());
    EXPECT_EQ(read_bytes(job_.path() / "PRN_XLS"),
              " 1 , 12 \r\n" + job("/Book1") + "\r\n1, 504.5 \r\n0\r\n0\r\n");
}

TEST_F(DialogTest, the_hidden_sheet_size_does_not_stop_the_word_route) {
    open();
    dialog().enter_text("Text4", "600");
    dialog().click("OKButton");
    EXPECT_TRUE(closed_with_ok());
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(DialogTest, refused_ok_keeps_prn_xls_and_leaves_path_ini_alone) {
    std::filesystem::create_directory(job_.path() / "out");
    write_bytes(job_.path() / "out" / "~$report.docx", "");
    open();
    dialog().enter_text("doc_name", job("/out/report.docx"));
    dialog().click("OKButton");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, "注意");
    EXPECT_TRUE(ui_.messages[0].text.starts_with(
        "Wordが起動中です。コンバート処理を続行する場合はWordを終了して下さい。\r\n"));
    EXPECT_TRUE(exists("PRN_XLS"));
    EXPECT_FALSE(exists("PATH_INI"));
    // Closing now still counts as cancel.
    EXPECT_TRUE(dialog().query_close());
    EXPECT_TRUE(dialog().Cansel_SW);

    write_bytes(job_.path() / "out" / ".~lock.Book1.xlsx#", "");
    dialog().select("Opt_ms(1)");
    dialog().enter_text("Text3", job("/out/Book1.xlsx"));
    dialog().click("OKButton");
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[1].text,
              "Excelが起動中です。コンバート処理を続行する場合はExcelを終了して下さい。\r\n"
              "使用中を示すファイル (異常終了で残った場合は削除して下さい): " +
                  job("/out/.~lock.Book1.xlsx#"));

    dialog().enter_text("Text3", job("/missing/Book1.xlsx"));
    dialog().click("OKButton");
    ASSERT_EQ(ui_.messages.size(), 3u);
    EXPECT_EQ(ui_.messages[2].text, "指定したフォルダが見つかりません。");
    EXPECT_FALSE(exists("PATH_INI"));
    EXPECT_TRUE(dialog().form().loaded());
}

TEST_F(DialogTest, paths_without_a_shift_jis_form_are_refused) {
    open();
    dialog().select("Opt_ms(1)");
    dialog().enter_text("Text3", job("/Book\U0001F600.xlsx"));
    dialog().click("OKButton");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_FALSE(exists("PRN_XLS"));

    std::filesystem::create_directory(job_.path() / "d\u00e9j\u00e0");
    dialog().select("Opt_ms(0)");
    dialog().enter_text("Text3", "Book1");
    dialog().enter_text("doc_name", job("/d\u00e9j\u00e0/report.docx"));
    dialog().click("OKButton");
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_FALSE(exists("PATH_INI"));
    EXPECT_TRUE(dialog().form().loaded());
}

TEST_F(DialogTest, browse_takes_the_chosen_file_and_its_folder) {
    open();
    ui_.file_box_answer = "/srv/docs/月報.docx";
    dialog().click("Command1");
    ASSERT_EQ(ui_.file_box_requests.size(), 1u);
    EXPECT_EQ(ui_.file_box_requests[0].file_name, job("/文書.docx"));
    EXPECT_EQ(ui_.file_box_requests[0].filter, "Word 文書 (*.docx)|*.docx");
    EXPECT_TRUE(ui_.file_box_requests[0].overwrite_prompt);
    EXPECT_TRUE(ui_.file_box_requests[0].folder_must_exist);
    EXPECT_EQ(dialog().form().text("doc_name"), "/srv/docs/月報.docx");
    EXPECT_EQ(dialog().path_txt, "/srv/docs");

    ui_.file_box_answer.reset();
    dialog().click("Command2");
    EXPECT_EQ(ui_.file_box_requests[1].filter, "Excel ﾌｧｲﾙ (*.xlsx)|*.xlsx");
    EXPECT_EQ(dialog().form().text("Text3"), job("/Book1.xlsx"));
}

}  // namespace
