// Which metafile of META_FILE/ holds the figures of a block of a page.
//
// A block's figures are drawn into "<number>.emf". Block numbers pair a page's text with its
// figures, but a job may use one number on several pages, or twice on one page; each of those
// blocks then gets a file of its own, "<number>-p<page>.emf" for the first block of that number
// on the page and "<number>-p<page>-<k>.emf" for the k-th, so that no block shows another
// block's figures. The k-th block of a number on a page of PRN_CHAR pairs with the k-th of
// PRN_PICT. Both the figure pass and the workbook build name the files from the same PRN_PICT.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/whole_file.h"

namespace jobfiles {

class BlockMetafileNames {
  public:
    // From the BLOCK and PAGE records of PRN_PICT's bytes (pages count from 1; blocks after
    // the last PAGE record belong to the page it would end). Throws base::RunTimeError as the
    // graphics reader does.
    static BlockMetafileNames scan(std::string_view prn_pict_bytes);
    // The same over a mapped PRN_PICT, whose pages are given back as the scan passes them.
    static BlockMetafileNames scan(base::MappedFile& prn_pict);

    // The file name of the `occurrence`-th block (from 1) numbered `number` on `page`; nothing
    // when PRN_PICT has no such block there.
    std::optional<std::string> name(std::int16_t page, std::int32_t number,
                                    int occurrence = 1) const;

    // The pages PRN_PICT holds: its PAGE records, and one more when records follow the last.
    int pages() const noexcept { return pages_; }

  private:
    static BlockMetafileNames scan(std::string_view prn_pict_bytes,
                                   const std::function<void(std::size_t)>& read_to);

    struct PageBlocks {
        std::int16_t page = 0;
        int count = 0;  // blocks of the number on that page
    };
    // The pages each block number appears on, ascending, each once.
    std::unordered_map<std::int32_t, std::vector<PageBlocks>> blocks_;
    int pages_ = 0;
};

// Counts the blocks of the page being read by number: the occurrence that
// BlockMetafileNames::name takes.
class BlockOccurrences {
  public:
    // 1 for the first block numbered `number` since the page began, 2 for the second, ...
    int next(std::int32_t number) { return ++counts_[number]; }
    void new_page() { counts_.clear(); }

  private:
    std::unordered_map<std::int32_t, int> counts_;
};

}  // namespace jobfiles
