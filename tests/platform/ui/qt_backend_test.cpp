#include "platform/ui/qt/qt_backend.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "qt_application.h"
#include "sample_form.h"

namespace {

TEST(qt_backend, a_form_shown_beside_a_job_is_served_whenever_the_job_yields) {
    ui_test::application();
    ui::QtBackend backend;
    auto form = ui_test::sample_form();
    ui_test::RecordingEvents events(form);
    backend.show(form, events);
    ui::FormWindow* window = backend.window_of(form);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(form.loaded());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->pos(), QPoint((screen.width() - 300) / 2, (screen.height() - 200) / 2));

    form.set_text("Label", "Page 2/12");
    form.set_value("Bar", 2);
    backend.yield();
    EXPECT_EQ(window->findChild<QLabel*>("Label")->text(), QStringLiteral("Page 2/12"));
    EXPECT_EQ(window->findChild<QProgressBar*>("Bar")->value(), 2);

    QTest::mouseClick(window->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    EXPECT_EQ(events.log, (std::vector<std::string>{"click Cancel"}));

    backend.close(form);
    EXPECT_EQ(backend.window_of(form), nullptr);
    EXPECT_FALSE(form.loaded());
}

}  // namespace
