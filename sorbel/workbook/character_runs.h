// Superscript and small character runs. The report library formats whole cells only, so
// runs are carried past it as character ranges of the final cell text and applied to the
// saved workbook afterwards (UDSTRING.DAT, the post-processing stage).
//
// Texts are CP932 bytes; a character is one or two bytes (base/cp932.h), and character
// positions count the characters of the text a cell finally holds, from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace workbook {

enum RunKind : std::int16_t { run_superscript = 1, run_small = 2 };

// `RangeEntry`. Cell ranges: `start` is a character position of the cell text. Line ranges:
// `start` is the 1-based byte column the text was placed at, `length` counts the placed
// characters, and `char_start` is filled in by SpreadRanges.
struct RangeEntry {
    std::int16_t start = 0;
    std::int16_t length = 0;
    std::int16_t kind = 0;
    std::int16_t char_start = 0;

    friend bool operator==(const RangeEntry&, const RangeEntry&) = default;
};

struct SplitText {
    std::string text;  // the cell text without its markers
    std::vector<RangeEntry> ranges;
};

// Reads the "$U", "$S" and "$Z" markers (either case) of a cell text. A "$" followed by any
// other character, or standing last, is an ordinary character. A run ends only at the next
// plain character or at the end of the text, so characters gathered in one state between two
// plain characters form one run from the first of them. Counts beyond 16 bits raise
// base::RunTimeError (overflow).
SplitText SplitAttributes(std::string_view text);

// The character position (from 1) of the character at 1-based byte `column` of `text`: every
// character that starts at or before that byte counts, so a two-byte character that starts
// exactly there is the one the column names.
std::int16_t ByteColumnToCharIndex(std::string_view text, int column);

// The text a line's cell stores: every character of a range is followed by a pad ("　" after a
// two-byte character, " " otherwise) so that it keeps its width when raised or shrunk. Where
// ranges overlap, each character keeps the kind of the range placed last over it, and
// overlapping or touching ranges of one kind become one. The ranges are replaced by the
// resulting ones in the order of the line; their char_start and length describe the returned
// text.
std::string SpreadRanges(std::string_view line, std::vector<RangeEntry>& ranges);

}  // namespace workbook
