// UDSTRING.DAT: the character runs the workbook build leaves for the post-processing stage.
// Text in CP932, one record per line, six decimal integers separated by commas, records in
// the order the cells were written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace workbook {

inline constexpr std::string_view udstring_file_name = "UDSTRING.DAT";

struct UdStringRecord {
    std::int32_t sheet = 0;   // worksheet number, 1 = first sheet of the workbook
    std::int32_t row = 0;     // from 1
    std::int32_t column = 0;  // from 1; 1 for text lines
    std::int32_t start = 0;   // first character of the run in the cell text, from 1
    std::int32_t length = 0;  // characters
    std::int32_t kind = 0;    // RunKind; other kinds are carried but change nothing

    friend bool operator==(const UdStringRecord&, const UdStringRecord&) = default;
};

// One record as a line of the file, with its line end.
std::string format_udstring_record(const UdStringRecord& record);

// Records in file order, kept in memory so that the file is written whole (complete or absent).
class UdStringWriter {
  public:
    void add(const UdStringRecord& record) { bytes_ += format_udstring_record(record); }
    const std::string& bytes() const noexcept { return bytes_; }
    bool empty() const noexcept { return bytes_.empty(); }
    // Replaces `file` with the records added so far.
    void save(const std::filesystem::path& file) const;

  private:
    std::string bytes_;
};

// The records of the file's bytes. Blank lines are passed over; a line that is not six integers
// raises base::RunTimeError (type mismatch) naming the line and its byte offset.
std::vector<UdStringRecord> parse_udstring(std::string_view bytes,
                                           std::string_view name = udstring_file_name);

// Reads and parses `file`: base::RunTimeError file not found or path/file access when it is
// missing or unreadable, so that a lost work file is never taken for an empty one.
std::vector<UdStringRecord> load_udstring(const std::filesystem::path& file);

}  // namespace workbook
