#include "base/cp932.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

#include "base/run_time_error.h"
#include "base/unicode.h"

namespace cp932 {

namespace {

struct IconvCloser {
    void operator()(void* handle) const noexcept {
        if (handle != nullptr) iconv_close(static_cast<iconv_t>(handle));
    }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// iconv_open is costly; each thread keeps one converter per direction.
iconv_t converter(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 std::string("iconv cannot convert ") + from + " to " + to);
    }
    return handle;
}

iconv_t cp932_to_utf16() {
    thread_local IconvHandle handle(converter("UTF-16LE", "CP932"));
    return static_cast<iconv_t>(handle.get());
}

iconv_t utf8_to_cp932() {
    thread_local IconvHandle handle(converter("CP932", "UTF-8"));
    return static_cast<iconv_t>(handle.get());
}

// Converts one character (1 or 2 bytes); returns false when it has no single-unit form.
bool convert_char(std::string_view bytes, char16_t& unit) {
    iconv_t handle = cp932_to_utf16();
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::array<char, 8> out{};
    char* in_ptr = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    if (iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        in_left != 0 || out.size() - out_left != 2) {
        return false;
    }
    unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 (static_cast<unsigned char>(out[1]) << 8));
    return true;
}

// Every one- and two-byte character has one UTF-16 unit; the table is built once from iconv.
// Index: a single byte b at b, a two-byte character (lead, trail) at lead * 256 + trail.
const std::array<char16_t, 65536>& unit_table() {
    static std::array<char16_t, 65536> table{};
    static std::once_flag built;
    std::call_once(built, [] {
        table.fill(static_cast<char16_t>(replacement_character));
        for (unsigned b = 0; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            char16_t unit = 0;
            if (b < 0x80) {
                table[b] = static_cast<char16_t>(b);
            } else if (!is_lead_byte(static_cast<unsigned char>(b)) &&
                       convert_char(std::string_view(&byte, 1), unit)) {
                table[b] = unit;
            }
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!is_lead_byte(static_cast<unsigned char>(lead))) continue;
            for (unsigned trail = 0; trail < 0x100; ++trail) {
                const std::array<char, 2> pair{static_cast<char>(lead), static_cast<char>(trail)};
                char16_t unit = 0;
                if (convert_char(std::string_view(pair.data(), 2), unit)) {
                    table[lead * 256 + trail] = unit;
                }
            }
        }
    });
    return table;
}

char16_t unit_at(std::string_view text, std::size_t pos, std::size_t len) {
    const unsigned first = static_cast<unsigned char>(text[pos]);
    if (len == 1) return unit_table()[first];
    return unit_table()[first * 256 + static_cast<unsigned char>(text[pos + 1])];
}

}  // namespace

/* ---------------------------------------------------------------- char_length_at */
std::size_t char_length_at(std::string_view text, std::size_t pos) noexcept {
    if (pos >= text.size()) return 0;
    if (is_lead_byte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) return 2;
    return 1;
}

/* ---------------------------------------------------------------- char_count */
std::size_t char_count(std::string_view text) noexcept {
    return char_count_of_prefix(text, text.size());
}

/* ---------------------------------------------------------------- char_count_of_prefix */
std::size_t char_count_of_prefix(std::string_view text, std::size_t byte_count) noexcept {
    if (byte_count > text.size()) byte_count = text.size();
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < byte_count; pos += char_length_at(text, pos)) ++count;
    return count;
}

/* ---------------------------------------------------------------- AnsiByteLength */
std::int32_t AnsiByteLength(std::string_view text) noexcept {
    return static_cast<std::int32_t>(text.size());
}

/* ---------------------------------------------------------------- overwrite_bytes */
void overwrite_bytes(std::string& line, std::size_t column, std::string_view text) noexcept {
    if (column >= line.size()) return;
    const std::size_t n = std::min(text.size(), line.size() - column);
    line.replace(column, n, text.substr(0, n));
}

/* ---------------------------------------------------------------- right_trim */
std::string_view right_trim(std::string_view text) noexcept {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return text.substr(0, end);
}

/* ---------------------------------------------------------------- to_utf16 */
std::u16string to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t len = char_length_at(text, pos);
        out.push_back(unit_at(text, pos, len));
        pos += len;
    }
    return out;
}

/* ---------------------------------------------------------------- to_utf8 */
std::string to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            ++pos;
            continue;
        }
        const std::size_t len = char_length_at(text, pos);
        unicode::append_utf8(out, unit_at(text, pos, len));
        pos += len;
    }
    return out;
}

/* ---------------------------------------------------------------- from_utf8 */
std::string from_utf8(std::string_view text) {
    iconv_t handle = utf8_to_cp932();
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() + 8, '\0');
    char* in_ptr = const_cast<char*>(text.data());
    std::size_t in_left = text.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    if (iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
        const std::size_t offset = text.size() - in_left;
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 "no CP932 form for the text at byte " + std::to_string(offset));
    }
    out.resize(out.size() - out_left);
    return out;
}

/* ---------------------------------------------------------------- representable */
bool representable(std::string_view utf8_text) noexcept {
    try {
        from_utf8(utf8_text);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace cp932
