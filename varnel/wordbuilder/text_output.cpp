#include "varnel/wordbuilder/text_output.h"

#include "base/cp932.h"

namespace wordbuilder {

/* ---------------------------------------------------------------- TextOutput::utf8 */
std::string TextOutput::utf8(std::string_view cp932_text) {
    std::string text = cp932::to_utf8(cp932_text);
    // No CP932 character maps to U+FFFD itself: each one in the result stands for a character
    // that has no Unicode form.
    constexpr std::string_view replacement = "\xEF\xBF\xBD";
    for (std::size_t at = text.find(replacement); at != std::string::npos;
         at = text.find(replacement, at + replacement.size())) {
        if (replaced++ == 0) first_page = page;
    }
    return text;
}

}  // namespace wordbuilder
