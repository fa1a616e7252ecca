// Which metafile of META_FILE/ holds the figures of a block of a page.
//
// A block's figures are drawn into "<number>.emf". Block numbers pair a page's text with its
// figures, but a job may use one number on several pages; each of those pages then gets a
// file of its own, "<number>-p<page>.emf", so that no page shows another page's figures. Both
// the figure pass and the workbook build name the files from the same PRN_PICT.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace jobfiles {

class BlockMetafileNames {
  public:
    // From the BLOCK and PAGE records of PRN_PICT's bytes (pages count from 1; blocks after
    // the last PAGE record belong to the page it would end). Throws base::RunTimeError as the
    // graphics reader does.
    static BlockMetafileNames scan(std::string_view prn_pict_bytes);

    // The file name of block `number` of `page`; nothing when PRN_PICT has no such block there.
    std::optional<std::string> name(std::int16_t page, std::int32_t number) const;

  private:
    // The pages each block number appears on, ascending, each once.
    std::unordered_map<std::int32_t, std::vector<std::int16_t>> pages_;
};

}  // namespace jobfiles
