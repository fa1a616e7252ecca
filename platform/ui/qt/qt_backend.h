// The Qt 6 Widgets back end. Creates the application object when the program has none.
#pragma once

#include <QApplication>
#include <map>
#include <memory>

#include "platform/ui/backend.h"
#include "platform/ui/qt/form_window.h"

namespace ui {

class QtBackend : public Backend {
  public:
    QtBackend();
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    void message_box(MessageIcon icon, const std::string& title, const std::string& text) override;
    std::optional<std::string> save_file_box(const FileBoxRequest& request) override;
    void show_modal(Form& form, FormEvents& events) override;
    void show(Form& form, FormEvents& events) override;
    void yield() override;
    void close(Form& form) override;
    void set_busy_pointer(bool busy) override;

    // The window of a form shown by show(), or null.
    FormWindow* window_of(const Form& form) const;

  private:
    // Declared first, so that the windows are destroyed before the application object.
    std::unique_ptr<QApplication> application_;
    std::map<const Form*, std::unique_ptr<FormWindow>> windows_;
    bool busy_ = false;
};

}  // namespace ui
