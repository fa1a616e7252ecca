// A scratch job folder and a user interface that records what the forms show.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/backend.h"

namespace frontend_test {

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "varnel-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void write_bytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
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
