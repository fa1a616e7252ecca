// A scratch job folder and a user interface that records what the forms show.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/backend.h"
#include "tests/platform/os/scratch_folder.h"

namespace frontend_test {

using test_support::read_bytes;
using test_support::ScratchFolder;

inline void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
    ScratchFolder::write_file(file, bytes);
}

struct Message {
    ui::MessageIcon icon;
    std::string title;
    std::string text;
};

// Records message boxes, answers the file box from `file_box_answer`, and lets a test play the
// user of a modal form through `on_modal`.
class RecordingBackend : public ui::Backend {
  public:
    void message_box(ui::MessageIcon icon, const std::string& title,
                     const std::string& text) override {
        messages.push_back({icon, title, text});
    }
    std::optional<std::string> save_file_box(const ui::FileBoxRequest& request) override {
        file_box_requests.push_back(request);
        return file_box_answer;
    }
    void show_modal(ui::Form& form, ui::FormEvents& events) override {
        form.mark_loaded();
        if (on_modal) on_modal(form, events);
        if (form.loaded() && events.query_close()) form.unload();
    }
    void show(ui::Form& form, ui::FormEvents&) override {
        form.mark_loaded();
        shown.push_back(&form);
    }
    void yield() override {}
    void close(ui::Form& form) override {
        form.unload();
        closed.push_back(&form);
    }

    std::vector<Message> messages;
    std::vector<ui::FileBoxRequest> file_box_requests;
    std::optional<std::string> file_box_answer;
    std::function<void(ui::Form&, ui::FormEvents&)> on_modal;
    std::vector<ui::Form*> shown;
    std::vector<ui::Form*> closed;
};

// A job whose settings file holds `pages` pages.
inline void write_prn_mode(const std::filesystem::path& folder, int pages) {
    write_bytes(folder / "PRN_MODE", "105\r\n\"MS Mincho\"\r\n200,150,200,150\r\n" +
                                         std::to_string(pages) + "\r\n10\r\n125\r\n");
}

}  // namespace frontend_test
