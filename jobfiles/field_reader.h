// Sequential field input over the bytes of a job or hand-off file: the one way every file of
// the job is read.
//
// A field ends at a comma, at a line end (CR LF or a lone LF) or at the end of the data.
// Blanks (spaces, tabs) around an unquoted field are dropped. A field that starts with a double
// quote runs to the next double quote on its line; whatever follows the closing quote up to the
// separator is dropped. Numbers convert into the receiving type; an empty field is 0, a field
// that is not a number is a type mismatch. Every error names the file and the byte offset.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/run_time_error.h"

namespace jobfiles {

// A field read into a variant: the text as read, and its value when the text is a number.
struct Variant {
    std::string text;
    std::optional<double> number;

    // The value in arithmetic: 0 when empty, type mismatch when the text is not a number.
    double to_number() const;
    // A comparison with a number that never fails: a text that is not a number is unequal.
    bool is(double value) const noexcept { return number && *number == value; }
};

// What an overflowing field's error names (UTF-8), after the file and byte offset.
inline constexpr std::string_view int16_range = "16 ビット整数の範囲を超えています";
inline constexpr std::string_view int32_range = "32 ビット整数の範囲を超えています";

// A field's CP932 text as an error context shows it: in UTF-8, in Japanese quotes.
std::string quoted_field(std::string_view field);

// A string that dies with the expression that made it: readers refuse it, because they keep a
// view of the bytes.
template <typename S>
concept TemporaryString = std::same_as<S, std::string>;

class FieldReader {
  public:
    // `name` identifies the data in error contexts, e.g. "PRN_CHAR".
    FieldReader(std::string_view bytes, std::string name);
    // The reader keeps a view of the bytes, which must outlive it: no temporary strings.
    template <TemporaryString S>
    FieldReader(S&& bytes, std::string name) = delete;

    bool at_end() const noexcept { return pos_ >= bytes_.size(); }
    std::size_t offset() const noexcept { return pos_; }

    // The next field as text (quotes removed). Input past end when the data is exhausted.
    std::string_view text();
    std::int16_t int16();
    std::int32_t int32();
    float single();
    double real();
    Variant variant();
    // Reads a field and drops it without converting it.
    void skip_field() { text(); }

    // The raw rest of the current line, separators and quotes included, and moves to the next
    // line. Empty when the last field read ended its line: a record never reaches into the
    // next one.
    std::string_view rest_of_line();
    // The rest of the line as a record's trailing quoted text: without its first and its last
    // character (CP932 characters); a lead byte that the closing quote would complete stays as
    // the text's last byte. Invalid call when the rest holds fewer than two characters.
    std::string_view quoted_rest_of_line();
    // The whole line from the cursor (the next line when a field has just ended its line).
    std::string_view line();

    [[noreturn]] void fail(base::ErrorNumber number, std::size_t at,
                           std::string_view what = {}) const;

  private:
    // The next field's raw value and where it started.
    std::string_view next_field(std::size_t& start);
    double number_field(std::size_t& start);
    // Moves past the line end at pos_, if there is one.
    void consume_line_end() noexcept;
    std::size_t line_end_from(std::size_t from) const noexcept;

    std::string_view bytes_;
    std::string name_;
    std::size_t pos_ = 0;
    bool line_ended_ = false;  // the last read ended its line (or the data)
};

}  // namespace jobfiles
