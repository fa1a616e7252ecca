#include "sorbel/workbook/udstring_file.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <system_error>

#include "base/run_time_error.h"
#include "base/whole_file.h"

namespace workbook {

namespace {

bool is_blank(char c) noexcept {
    return c == ' ' || c == '\t';
}

std::string_view trim_blanks(std::string_view text) noexcept {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

bool parse_field(std::string_view field, std::int32_t& value) noexcept {
    field = trim_blanks(field);
    if (field.empty()) return false;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc{} && ptr == end;
}

bool parse_record(std::string_view line, UdStringRecord& record) noexcept {
    std::array<std::int32_t*, 6> fields{&record.sheet, &record.row,    &record.column,
                                        &record.start, &record.length, &record.kind};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t comma = line.find(',');
        const bool last = i + 1 == fields.size();
        if (last != (comma == std::string_view::npos)) return false;
        if (!parse_field(line.substr(0, comma), *fields[i])) return false;
        if (!last) line.remove_prefix(comma + 1);
    }
    return true;
}

}  // namespace

/* ---------------------------------------------------------------- format_udstring_record */
std::string format_udstring_record(const UdStringRecord& record) {
    std::string line;
    for (const std::int32_t value :
         {record.sheet, record.row, record.column, record.start, record.length, record.kind}) {
        if (!line.empty()) line.push_back(',');
        line += std::to_string(value);
    }
    line += "\r\n";
    return line;
}

/* ---------------------------------------------------------------- UdStringWriter::save */
void UdStringWriter::save(const std::filesystem::path& file) const {
    base::replace_file(file, std::string_view(bytes_), base::Durability::renamed);
}

/* ---------------------------------------------------------------- parse_udstring */
std::vector<UdStringRecord> parse_udstring(std::string_view bytes, std::string_view name) {
    std::vector<UdStringRecord> records;
    std::size_t pos = 0;
    std::size_t line_number = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++line_number;
        if (!trim_blanks(line).empty()) {
            UdStringRecord record;
            if (!parse_record(line, record)) {
                throw base::RunTimeError(base::ErrorNumber::type_mismatch,
                                         std::string(name) + ": line " +
                                             std::to_string(line_number) + ", byte " +
                                             std::to_string(pos) + " is not six integers");
            }
            records.push_back(record);
        }
        pos = end + 1;
    }
    return records;
}

/* ---------------------------------------------------------------- load_udstring */
std::vector<UdStringRecord> load_udstring(const std::filesystem::path& file) {
    const std::string bytes = base::load_file(file);
    return parse_udstring(bytes, file.string());
}

}  // namespace workbook
