// The dialog drawn by the Qt back end, driven through its widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "platform/ui/qt/qt_backend.h"
#include "test_support.h"
#include "tests/platform/ui/qt_application.h"
#include "varnel/frontend/dialog.h"

namespace {

template <typename Widget>
Widget* find(QWidget* window, const char* name) {
    auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

class QtDialogTest : public ::testing::Test {
  protected:
    QtDialogTest() {
        frontend_test::write_prn_mode(job_.path(), 12);
        dialog_.Cansel_SW = false;
        dialog_.load();
    }

    // Shows the dialog modally and plays the user with `act` on the open window.
    void show_modal(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act] {
            QWidget* window = QApplication::activeModalWidget();
            ASSERT_NE(window, nullptr);
            act(window);
        });
        backend_.show_modal(dialog_.form(), dialog_);
    }

    QApplication& application_ = ui_test::application();  // first: the back end needs it
    frontend_test::ScratchFolder job_;
    frontend::RunVariables run_;
    frontend::Form1 form1_;
    ui::QtBackend backend_;
    frontend::Dialog dialog_{backend_, run_, form1_,
                             frontend::DialogSettings{.job_dir = job_.path(), .Page_Count = 12}};
};

TEST_F(QtDialogTest, route_option_swaps_the_frames_and_typing_a_page_selects_the_range) {
    show_modal([this](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), QStringLiteral("コンバートオプション"));
        EXPECT_TRUE(find<QGroupBox>(window, "Frame3")->isVisible());
        EXPECT_FALSE(find<QGroupBox>(window, "Frame6")->isVisible());
        QTest::mouseClick(find<QRadioButton>(window, "Opt_ms(1)"), Qt::LeftButton);
        for (const char* frame : {"Frame5", "Frame6", "Frame7"}) {
            EXPECT_TRUE(find<QGroupBox>(window, frame)->isVisible()) << frame;
        }
        EXPECT_FALSE(find<QGroupBox>(window, "Frame1")->isVisible());
        EXPECT_FALSE(find<QGroupBox>(window, "Frame3")->isVisible());

        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        auto* text1 = find<QLineEdit>(window, "Text1");
        // A click into the box selects its whole text.
        QTest::mouseClick(text1, Qt::LeftButton, {}, QPoint(30, 5));
        EXPECT_TRUE(QTest::qWaitFor([&] { return text1->selectedText() == "1"; }, 1000));
        QTest::keyClicks(text1, "4");
        EXPECT_TRUE(dialog_.form().checked("Opt_Page(1)"));
        EXPECT_TRUE(find<QRadioButton>(window, "Opt_Page(1)")->isChecked());
        EXPECT_FALSE(find<QRadioButton>(window, "Opt_Page(0)")->isChecked());
        EXPECT_EQ(dialog_.form().text("Text1"), "4");
        window->close();
    });
    EXPECT_TRUE(dialog_.form().checked("Opt_ms(1)"));
}

TEST_F(QtDialogTest, ok_on_the_word_route_writes_the_handoff_files_and_closes) {
    show_modal([](QWidget* window) {
        QTest::mouseClick(find<QPushButton>(window, "OKButton"), Qt::LeftButton);
    });
    EXPECT_FALSE(dialog_.Cansel_SW);
    EXPECT_TRUE(run_.Word_SW);
    EXPECT_EQ(frontend_test::read_bytes(job_.path() / "PRN_XLS").substr(0, 10), " 1 , 12 \r\n");
    EXPECT_EQ(frontend_test::read_bytes(job_.path() / "PATH_INI"),
              "\"" + job_.path().string() + "\"\r\n");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtDialogTest, close_box_counts_as_cancel) {
    show_modal([](QWidget* window) { window->close(); });
    EXPECT_TRUE(dialog_.Cansel_SW);
    EXPECT_FALSE(dialog_.form().loaded());
    EXPECT_FALSE(std::filesystem::exists(job_.path() / "PRN_XLS"));
}

}  // namespace
