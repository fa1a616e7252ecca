#include "platform/ui/console_backend.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "sample_form.h"

namespace {

TEST(console_backend, message_boxes_are_title_and_text_lines) {
    std::ostringstream out;
    ui::ConsoleBackend console(out, false);
    console.message_box(ui::MessageIcon::exclamation, "注意", "一行目\r\r二行目");
    console.message_box(ui::MessageIcon::none, "", "本文");
    EXPECT_EQ(out.str(), "注意: 一行目\n\n二行目\n本文\n");
    EXPECT_FALSE(console.save_file_box({}));
}

TEST(console_backend, modal_form_gets_its_default_button_once_and_is_then_closed) {
    std::ostringstream out;
    ui::ConsoleBackend console(out, false);
    auto form = ui_test::sample_form();
    ui_test::RecordingEvents events(form);
    console.show_modal(form, events);
    EXPECT_EQ(events.log, (std::vector<std::string>{"click OK"}));
    EXPECT_FALSE(form.loaded());

    // A form that stays open after its default button is closed as by its close box.
    form.default_button = "Check";
    console.show_modal(form, events);
    EXPECT_EQ(events.log.back(), "close");
    EXPECT_FALSE(form.loaded());
}

TEST(console_backend, status_line_follows_the_form_and_interrupt_presses_cancel) {
    std::ostringstream out;
    ui::ConsoleBackend console(out, true);
    auto form = ui_test::sample_form();
    ui_test::RecordingEvents events(form);
    console.show(form, events);
    console.yield();  // nothing changed: nothing drawn again
    form.set_text("Label", "Page 2/12");
    form.set_value("Bar", 1);
    console.yield();
    console.message_box(ui::MessageIcon::none, "t", "m");

    std::raise(SIGINT);
    console.yield();
    EXPECT_EQ(events.log, (std::vector<std::string>{"click Cancel"}));
    console.yield();
    EXPECT_EQ(events.log.size(), 1u);
    console.close(form);

    const std::string bar0 = "[" + std::string(30, '.') + "]";
    const std::string bar1 = "[##" + std::string(28, '.') + "]";
    EXPECT_EQ(out.str(),
              "\rPage 1/12 " + bar0 + "\x1b[K" + "\rPage 2/12 " + bar1 + "\x1b[K" + "\nt: m\n");
}

TEST(console_backend, interrupt_is_ignored_while_the_cancel_button_is_disabled) {
    std::ostringstream out;
    ui::ConsoleBackend console(out, false);
    auto form = ui_test::sample_form();
    ui_test::RecordingEvents events(form);
    console.show(form, events);
    form.set_enabled("Cancel", false);
    std::raise(SIGINT);
    console.yield();
    form.set_enabled("Cancel", true);
    console.yield();
    EXPECT_TRUE(events.log.empty());
    // The ignored interrupt did not use up the handler: the next one is a cancel again and
    // does not end the program.
    std::raise(SIGINT);
    console.yield();
    EXPECT_EQ(events.log, (std::vector<std::string>{"click Cancel"}));
    console.close(form);
}

TEST(console_backend, terminate_and_hangup_press_cancel_and_a_second_one_ends_the_program) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        int pipe_ends[2];
        ASSERT_EQ(pipe(pipe_ends), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            std::ostringstream out;
            ui::ConsoleBackend console(out, false);
            auto form = ui_test::sample_form();
            ui_test::RecordingEvents events(form);
            console.show(form, events);
            std::raise(signal);
            console.yield();
            const char told = events.log == std::vector<std::string>{"click Cancel"} ? 'c' : '-';
            if (write(pipe_ends[1], &told, 1) != 1) _exit(1);
            // The job is stopping already; asked again, the program ends as the signal ends it.
            std::raise(signal);
            _exit(0);
        }
        close(pipe_ends[1]);
        char told = 0;
        EXPECT_EQ(read(pipe_ends[0], &told, 1), 1) << signal;
        close(pipe_ends[0]);
        EXPECT_EQ(told, 'c') << signal;
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    }
}

TEST(console_backend, without_a_terminal_each_new_status_gets_its_own_line) {
    std::ostringstream out;
    ui::ConsoleBackend console(out, false);
    auto form = ui_test::sample_form();
    ui_test::RecordingEvents events(form);
    console.show(form, events);
    form.add_item("List", "not shown");
    console.yield();
    console.close(form);
    EXPECT_EQ(out.str(), "Page 1/12 [" + std::string(30, '.') + "]\n");
}

}  // namespace
