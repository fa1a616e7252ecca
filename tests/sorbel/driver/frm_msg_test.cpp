// The message window as data and drawn by the Qt back end.
#include "sorbel/driver/frm_msg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "platform/ui/qt/qt_backend.h"
#include "tests/platform/ui/qt_application.h"

namespace {

TEST(frm_msg, cancel_sets_the_flag_only_while_the_button_is_enabled) {
    driver::FrmMsg frm_msg;
    frm_msg.form().set_enabled("Command1", false);
    frm_msg.click("Command1");
    EXPECT_FALSE(frm_msg.query_close());
    EXPECT_FALSE(frm_msg.Cancel_Flag);
    // Nothing was kept waiting for the button to come back.
    frm_msg.form().set_enabled("Command1", true);
    EXPECT_FALSE(frm_msg.Cancel_Flag);
    frm_msg.click("Command1");
    frm_msg.click("Command1");
    EXPECT_TRUE(frm_msg.Cancel_Flag);
}

TEST(frm_msg, qt_window_shows_the_captions_and_a_disabled_button_ignores_clicks) {
    QApplication& application = ui_test::application();
    (void)application;
    ui::QtBackend backend;
    driver::FrmMsg frm_msg;
    driver::MessageWindow window(frm_msg, backend);
    backend.show(frm_msg.form(), frm_msg);
    window.set_status("図形構築中 2/3ページ 終了");
    window.start_progress(3);
    window.step_progress();
    window.step_progress();
    window.yield();

    QWidget* shown = backend.window_of(frm_msg.form());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("Pellora2 → Excel"));
    EXPECT_EQ(shown->findChild<QLabel*>("Label1")->text(),
              QStringLiteral("図形構築中 2/3ページ 終了"));
    EXPECT_EQ(shown->findChild<QLabel*>("Label2")->text(),
              QStringLiteral("実行中はExcelを起動しないで下さい"));
    auto* bar = shown->findChild<QProgressBar*>("ProgressBar1");
    EXPECT_EQ(bar->maximum(), 3);
    EXPECT_EQ(bar->value(), 2);
    auto* button = shown->findChild<QPushButton*>("Command1");
    EXPECT_EQ(button->text(), QStringLiteral("キャンセル"));

    window.set_cancel_enabled(false);
    window.set_busy_pointer(true);
    window.yield();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(shown, Qt::Key_Escape);
    window.yield();
    EXPECT_FALSE(window.cancel_requested());

    window.set_cancel_enabled(true);
    window.set_busy_pointer(false);
    window.yield();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(window.cancel_requested());
    backend.close(frm_msg.form());
}

}  // namespace
