#include "platform/ui/form.h"

#include <stdexcept>
#include <utility>

namespace ui {

Form::Form(std::string caption, int client_width_twips, int client_height_twips)
    : caption_(std::move(caption)),
      client_width_(client_width_twips),
      client_height_(client_height_twips) {}

/* ---------------------------------------------------------------- add */
void Form::add(Control control) {
    controls_.push_back(std::move(control));
    ++revision_;
}

/* ---------------------------------------------------------------- control */
const Control& Form::control(std::string_view name) const {
    for (const auto& c : controls_) {
        if (c.name == name) return c;
    }
    throw std::out_of_range("no control named " + std::string(name));
}

Control& Form::find(std::string_view name) {
    for (auto& c : controls_) {
        if (c.name == name) return c;
    }
    throw std::out_of_range("no control named " + std::string(name));
}

/* ---------------------------------------------------------------- setters */
void Form::set_text(std::string_view name, std::string text) {
    find(name).text = std::move(text);
    ++revision_;
}

void Form::set_visible(std::string_view name, bool visible) {
    find(name).visible = visible;
    ++revision_;
}

void Form::set_enabled(std::string_view name, bool enabled) {
    find(name).enabled = enabled;
    ++revision_;
}

void Form::set_checked(std::string_view name, bool checked) {
    Control& target = find(name);
    target.checked = checked;
    if (checked && target.kind == ControlKind::option) {
        for (auto& c : controls_) {
            if (&c != &target && c.kind == ControlKind::option && c.container == target.container) {
                c.checked = false;
            }
        }
    }
    ++revision_;
}

void Form::set_value(std::string_view name, int value) {
    find(name).value = value;
    ++revision_;
}

void Form::set_maximum(std::string_view name, int maximum) {
    find(name).maximum = maximum;
    ++revision_;
}

void Form::add_item(std::string_view name, std::string item) {
    find(name).items.push_back(std::move(item));
    ++revision_;
}

/* ---------------------------------------------------------------- unload */
void Form::unload() noexcept {
    loaded_ = false;
    ++revision_;
}

}  // namespace ui
