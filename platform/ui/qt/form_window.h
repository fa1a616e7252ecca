// One form drawn as a Qt window. The form holds the state; the window mirrors it after every
// change and turns the user's actions into FormEvents. Controls are found by their form names
// (QObject::objectName), which is how tests reach them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <map>
#include <string>

#include "platform/ui/form.h"

namespace ui {

// Twips to pixels at 96 dots per inch.
constexpr int twips_to_pixels(int twips) noexcept {
    return (twips + 7) / 15;
}

class FormWindow : public QDialog {
    Q_OBJECT

  public:
    FormWindow(Form& form, FormEvents& events, QWidget* parent = nullptr);

    // Brings every widget in line with the form (only when the form changed since last time).
    void sync();
    // Places the window in the middle of its screen.
    void centre_on_screen();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* create(const Control& control, QWidget* container);
    void connect_events(const Control& control, QWidget* widget);
    void sync_control(const Control& control, QWidget* widget);
    // Runs after each handler: mirrors the changes and closes the window once the form unloaded.
    void after_event();

    Form& form_;
    FormEvents& events_;
    std::map<std::string, QWidget*> widgets_;
    std::uint64_t synced_revision_ = 0;
    bool synced_once_ = false;
};

}  // namespace ui
