// The progress window of the Word run: page label, bar, document name, cancel button.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/form.h"

namespace frontend {

class Form1 : public ui::FormEvents {
  public:
    Form1();

    ui::Form& form() noexcept { return form_; }
    const ui::Form& form() const noexcept { return form_; }

    // Set by the cancel button (or the close box); the run reads it whenever it yields.
    bool Cansel_SW = false;

    // What the start-up shows before the run begins: bar maximum and "Page 1/" & Page_Count.
    void prepare(std::int16_t Page_Count);

    void click(const std::string& control) override;
    void change(const std::string& control) override;
    // The close box asks the run to stop like the cancel button; the window stays until the
    // run has returned.
    bool query_close() override;

  private:
    ui::Form form_;
};

}  // namespace frontend
