#include "platform/ui/qt/form_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "qt_application.h"
#include "sample_form.h"

namespace {

class FormWindowTest : public ::testing::Test {
  protected:
    FormWindowTest() { form_.mark_loaded(); }
    template <typename Widget>
    Widget* find(const char* name) {
        auto* widget = window_.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QApplication& application_ = ui_test::application();
    ui::Form form_ = ui_test::sample_form();
    ui_test::RecordingEvents events_{form_};
    ui::FormWindow window_{form_, events_};
};

TEST_F(FormWindowTest, places_controls_in_pixels_at_96_dpi_inside_their_frames) {
    EXPECT_EQ(window_.size(), QSize(300, 200));
    EXPECT_EQ(find<QGroupBox>("Frame2")->geometry(), QRect(160, 10, 120, 60));
    auto* option = find<QRadioButton>("B(1)");
    EXPECT_EQ(option->parentWidget(), find<QGroupBox>("Frame2"));
    EXPECT_EQ(option->pos(), QPoint(10, 40));
    EXPECT_EQ(find<QLineEdit>("Text")->geometry(), QRect(20, 110, 100, 18));
    // A caption wider than its label's place is shown whole.
    auto* label = find<QLabel>("Label");
    EXPECT_EQ(label->pos(), QPoint(160, 110));
    EXPECT_GE(label->width(), label->sizeHint().width());
    EXPECT_TRUE(find<QListWidget>("List")->isHidden());
}

TEST_F(FormWindowTest, user_actions_reach_the_form_and_handler_changes_reach_the_window) {
    window_.show();
    QTest::mouseClick(find<QRadioButton>("B(1)"), Qt::LeftButton);
    EXPECT_TRUE(form_.checked("B(1)"));
    EXPECT_FALSE(form_.checked("B(0)"));
    EXPECT_TRUE(form_.checked("A(0)"));
    EXPECT_TRUE(find<QRadioButton>("A(0)")->isChecked());

    auto* text = find<QLineEdit>("Text");
    text->clear();
    form_.set_text("Text", "");
    QTest::keyClicks(text, "7");
    EXPECT_EQ(form_.text("Text"), "7");
    EXPECT_EQ(events_.log, (std::vector<std::string>{"click B(1)", "change Text"}));

    form_.set_checked("A(1)", true);
    form_.set_visible("Frame2", false);
    form_.add_item("List", "line");
    window_.sync();
    EXPECT_TRUE(find<QRadioButton>("A(1)")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("A(0)")->isChecked());
    EXPECT_FALSE(find<QGroupBox>("Frame2")->isVisible());
    EXPECT_EQ(find<QListWidget>("List")->count(), 1);

    // A caption that grows while the window is open is still shown whole.
    form_.set_text("Label", "Page 1234/15000");
    window_.sync();
    auto* label = find<QLabel>("Label");
    EXPECT_GE(label->width(), label->sizeHint().width());
}

TEST_F(FormWindowTest, close_box_asks_the_form_and_escape_presses_cancel) {
    window_.show();
    events_.allow_close = false;
    window_.close();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_TRUE(form_.loaded());

    QTest::keyClick(&window_, Qt::Key_Escape);
    EXPECT_EQ(events_.log, (std::vector<std::string>{"close", "click Cancel"}));
    EXPECT_TRUE(window_.isVisible());

    events_.allow_close = true;
    window_.close();
    EXPECT_FALSE(window_.isVisible());
    EXPECT_FALSE(form_.loaded());
}

}  // namespace
