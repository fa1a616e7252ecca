#include "jobfiles/block_metafile_names.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <variant>

#include "base/run_time_error.h"
#include "jobfiles/prn_pict.h"

namespace jobfiles {

/* ---------------------------------------------------------------- BlockMetafileNames::scan */
BlockMetafileNames BlockMetafileNames::scan(std::string_view prn_pict_bytes) {
    BlockMetafileNames names;
    SorbelPictReader in(prn_pict_bytes);
    std::int16_t page = 1;
    while (const auto record = in.next()) {
        if (std::holds_alternative<PictPage>(*record)) {
            if (page == INT16_MAX) {
                throw base::RunTimeError(
                    base::ErrorNumber::overflow,
                    "PRN_PICT: page count at byte " + std::to_string(in.offset()));
            }
            ++page;
        } else if (const auto* block = std::get_if<SorbelPictBlock>(&*record)) {
            auto& pages = names.pages_[block->number];
            if (pages.empty() || pages.back() != page) pages.push_back(page);
        }
    }
    return names;
}

/* ---------------------------------------------------------------- BlockMetafileNames::name */
std::optional<std::string> BlockMetafileNames::name(std::int16_t page, std::int32_t number) const {
    const auto it = pages_.find(number);
    if (it == pages_.end()) return std::nullopt;
    const auto& pages = it->second;
    if (!std::binary_search(pages.begin(), pages.end(), page)) return std::nullopt;
    if (pages.size() == 1) return std::to_string(number) + ".emf";
    return std::to_string(number) + "-p" + std::to_string(page) + ".emf";
}

}  // namespace jobfiles
