#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/run_time_error.h"
#include "sorbel/workbook/character_runs.h"
#include "sorbel/workbook/udstring_file.h"

// Cell texts with their run markers, and the work file the post-processing stage reads back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto split = workbook::SplitAttributes(bytes);
        workbook::SpreadRanges(split.text, split.ranges);
    } catch (const base::RunTimeError&) {
    }
    for (int column = -1; column <= static_cast<int>(size) + 1; column += 7) {
        workbook::ByteColumnToCharIndex(bytes, column);
    }
    try {
        workbook::parse_udstring(bytes);
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
