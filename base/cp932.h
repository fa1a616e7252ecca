// The one owner of code page 932 (Shift_JIS as Windows writes it). Job text stays CP932
// bytes everywhere else; these helpers find character boundaries, count and convert.
//
// A character is one byte, or two when the first is a lead byte (0x81-0x9F, 0xE0-0xFC) and a
// second byte follows, whatever that byte is. Conversion maps every such character to exactly
// one UTF-16 unit (invalid or unmapped characters become U+FFFD), so character counts taken
// here equal the character positions of the converted text in a document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp932 {

inline constexpr char32_t replacement_character = U'\uFFFD';

constexpr bool is_lead_byte(unsigned char byte) noexcept {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

constexpr bool is_halfwidth_katakana(unsigned char byte) noexcept {
    return byte >= 0xA1 && byte <= 0xDF;
}

// Bytes of the character that starts at byte offset `pos` (1 or 2; 0 at or past the end).
std::size_t char_length_at(std::string_view text, std::size_t pos) noexcept;

// Number of characters.
std::size_t char_count(std::string_view text) noexcept;

// Number of whole or partial characters that the first `byte_count` bytes hold: a two-byte
// character cut by the limit still counts, as a program counting the cut-off bytes would see.
std::size_t char_count_of_prefix(std::string_view text, std::size_t byte_count) noexcept;

// Byte length in the ANSI code page. Text is held in CP932 already, so this is its size.
std::int32_t AnsiByteLength(std::string_view text) noexcept;

// Replaces the bytes of `line` from zero-based byte `column` with the bytes of `text`, as many
// as fit before the line's end; the line keeps its length. A column at or past the end
// changes nothing.
void overwrite_bytes(std::string& line, std::size_t column, std::string_view text) noexcept;

// Copy without trailing blanks (half-width spaces only).
std::string_view right_trim(std::string_view text) noexcept;

// CP932 to UTF-8, one UTF-16 unit per character (see above).
std::string to_utf8(std::string_view text);

// CP932 to UTF-16, one unit per character.
std::u16string to_utf16(std::string_view text);

// UTF-8 to CP932. Throws base::RunTimeError (invalid call) when a character has no CP932
// form or the input is not UTF-8: callers that write job or hand-off files must refuse such text.
std::string from_utf8(std::string_view text);

// True when from_utf8 would succeed.
bool representable(std::string_view utf8_text) noexcept;

}  // namespace cp932
