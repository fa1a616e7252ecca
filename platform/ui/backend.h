// What the programs need of a user interface: message boxes, the Save As file box, showing
// forms modally or beside a running job, and serving the user while a job runs.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/form.h"

namespace ui {

enum class MessageIcon { none, information, exclamation, critical };

// The Save As box. `filter` pairs descriptions and patterns with "|":
// "Word 文書 (*.docx)|*.docx".
struct FileBoxRequest {
    std::string file_name{};  // proposed path, UTF-8
    std::string filter{};
    bool overwrite_prompt = false;   // ask before replacing an existing file
    bool folder_must_exist = false;  // refuse a name in a folder that does not exist
};

class Backend {
  public:
    virtual ~Backend() = default;

    // A message box with an OK button; returns when it is closed. CR, LF and CR LF break lines.
    virtual void message_box(MessageIcon icon, const std::string& title,
                             const std::string& text) = 0;

    // The chosen path, or nothing when the box was cancelled or cannot be shown.
    virtual std::optional<std::string> save_file_box(const FileBoxRequest& request) = 0;

    // Shows the form centred on the screen and returns when it has unloaded itself.
    virtual void show_modal(Form& form, FormEvents& events) = 0;

    // Shows the form centred on the screen and returns at once; it stays until close().
    virtual void show(Form& form, FormEvents& events) = 0;

    // Redraws what changed in the shown forms and serves pending user actions, then returns.
    virtual void yield() = 0;

    // Removes a form shown by show().
    virtual void close(Form& form) = 0;

    // The busy mouse pointer over every window of the program, or the normal one again. A
    // console has no pointer.
    virtual void set_busy_pointer(bool) {}
};

}  // namespace ui
