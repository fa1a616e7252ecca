// A window as data: its controls, their captions and states. Forms of the programs keep their
// state here and change it through the setters; a back end draws it and reports the user's
// actions through FormEvents. Nothing here knows how the window is drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum class ControlKind {
    frame,
    label,
    text_box,
    option,
    check_box,
    button,
    progress_bar,
    list_box
};

enum class TextAlign { left, centre };

// Position in twips (1/1440 inch) relative to the containing frame or to the form's client
// area. A width or height of 0 takes the control's natural size.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Control {
    std::string name;  // e.g. "Opt_ms(0)"; unique in its form
    ControlKind kind = ControlKind::label;
    std::string container{};  // name of the containing frame; empty for the form itself
    TwipsRect place{};
    std::string text{};  // caption, or the text of a text box (UTF-8)
    bool visible = true;
    bool enabled = true;   // a disabled control ignores the user
    bool checked = false;  // option and check boxes
    TextAlign align = TextAlign::left;
    std::optional<std::uint32_t> fore_colour{};  // 0xRRGGBB; none takes the default
    bool select_all_on_focus = false;            // text boxes: select the whole text on focus
    bool console_status = false;                 // shown in the one-line status of a text console
    int value = 0;                               // progress bars
    int maximum = 100;
    std::vector<std::string> items{};  // list boxes
};

class Form {
  public:
    Form(std::string caption, int client_width_twips, int client_height_twips);

    // Adds a control; the order of adding is the tab order of the controls that take focus.
    void add(Control control);

    const std::string& caption() const noexcept { return caption_; }
    int client_width() const noexcept { return client_width_; }
    int client_height() const noexcept { return client_height_; }
    const std::vector<Control>& controls() const noexcept { return controls_; }
    // Throws std::out_of_range for a name the form does not have.
    const Control& control(std::string_view name) const;

    const std::string& text(std::string_view name) const { return control(name).text; }
    bool checked(std::string_view name) const { return control(name).checked; }

    void set_text(std::string_view name, std::string text);
    void set_visible(std::string_view name, bool visible);
    void set_enabled(std::string_view name, bool enabled);
    // Selecting an option clears the other options of the same container: one exclusive group
    // per frame.
    void set_checked(std::string_view name, bool checked);
    void set_value(std::string_view name, int value);
    void set_maximum(std::string_view name, int maximum);
    void add_item(std::string_view name, std::string item);

    // The button Enter presses and the one Esc (or an interrupt in a console) presses.
    std::string default_button;
    std::string cancel_button;

    // Counts every change, so that a back end redraws only what changed since it last looked.
    std::uint64_t revision() const noexcept { return revision_; }

    // A form is loaded from its first show until it unloads itself; a modal show returns then.
    bool loaded() const noexcept { return loaded_; }
    void mark_loaded() noexcept { loaded_ = true; }
    void unload() noexcept;

  private:
    Control& find(std::string_view name);

    std::string caption_;
    int client_width_;
    int client_height_;
    std::vector<Control> controls_;
    std::uint64_t revision_ = 0;
    bool loaded_ = false;
};

// What a back end reports of the user's actions. Handlers change the form through its setters.
class FormEvents {
  public:
    virtual ~FormEvents() = default;
    // A button pressed, an option selected, a check box ticked or cleared (the form already
    // holds the new state).
    virtual void click(const std::string& control) = 0;
    // The user changed the text of a text box (the form already holds the new text).
    virtual void change(const std::string& control) = 0;
    // The window's close box. Returning true unloads the form; false keeps it open.
    virtual bool query_close() = 0;
};

}  // namespace ui
