// The one error type of both programs: a run-time error number with the description the
// host's runtime shows for it, plus optional context (file, byte offset) for logs and tests.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace base {

enum class ErrorNumber : int {
    invalid_call = 5,
    overflow = 6,
    out_of_memory = 7,
    subscript_out_of_range = 9,
    type_mismatch = 13,
    bad_file_name_or_number = 52,
    file_not_found = 53,
    device_io = 57,
    input_past_end = 62,
    permission_denied = 70,
    path_file_access = 75,
    path_not_found = 76,
    invalid_file_format = 321,
};

// The Japanese description the runtime gives an error number (UTF-8).
std::string_view standard_description(ErrorNumber number);

class RunTimeError : public std::runtime_error {
  public:
    explicit RunTimeError(ErrorNumber number, std::string context = {});
    RunTimeError(int number, std::string description, std::string context = {});

    int number() const noexcept { return number_; }
    // Exactly the text a message box shows (UTF-8).
    const std::string& description() const noexcept { return description_; }
    // Where it happened, e.g. "PRN_CHAR: byte 1234"; never shown in place of the description.
    const std::string& context() const noexcept { return context_; }

  private:
    int number_;
    std::string description_;
    std::string context_;
};

}  // namespace base
