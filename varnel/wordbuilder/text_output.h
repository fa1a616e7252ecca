// Job text on its way into the document: CP932 to UTF-8, keeping count of the characters
// that are not valid Shift_JIS and so reach the document as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace wordbuilder {

class TextOutput {
  public:
    std::string utf8(std::string_view cp932_text);

    int page = 1;        // the page being converted, kept up to date by the run
    int replaced = 0;    // characters written as U+FFFD so far
    int first_page = 0;  // the page of the first of them
};

}  // namespace wordbuilder
