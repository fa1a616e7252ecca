#include "platform/ui/form.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/ui/display_text.h"
#include "sample_form.h"

namespace {

TEST(form, each_frame_is_its_own_option_group) {
    auto form = ui_test::sample_form();
    const auto before = form.revision();
    form.set_checked("A(1)", true);
    EXPECT_FALSE(form.checked("A(0)"));
    EXPECT_TRUE(form.checked("A(1)"));
    EXPECT_TRUE(form.checked("B(0)"));
    form.set_checked("Check", true);
    EXPECT_TRUE(form.checked("A(1)"));
    EXPECT_GT(form.revision(), before);
    EXPECT_THROW(form.set_text("Nothing", "x"), std::out_of_range);
}

TEST(display_text, message_line_breaks_and_file_filters) {
    EXPECT_EQ(ui::with_line_feeds("a\r\rb\r\nc\nd"), "a\n\nb\nc\nd");
    const auto filters = ui::parse_file_filter("Word 文書 (*.docx)|*.docx|All|*");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Word 文書 (*.docx)");
    EXPECT_EQ(filters[0].pattern, "*.docx");
    EXPECT_EQ(filters[1].pattern, "*");
    EXPECT_TRUE(ui::parse_file_filter("").empty());
}

TEST(display_text, status_line_shows_captions_and_a_bar) {
    auto form = ui_test::sample_form();
    EXPECT_EQ(ui::status_line(form, 12), "Page 1/12 [............]");
    form.set_value("Bar", 3);
    form.set_text("Label", "Page 3/12");
    EXPECT_EQ(ui::status_line(form, 12), "Page 3/12 [###.........]");
    // Values past either end of the bar, and a bar without a maximum, stay within the bar.
    form.set_value("Bar", 40);
    EXPECT_EQ(ui::status_line(form, 4), "Page 3/12 [####]");
    form.set_maximum("Bar", 0);
    EXPECT_EQ(ui::status_line(form, 4), "Page 3/12 [....]");
}

}  // namespace
