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
    return scan(prn_pict_bytes, {});
}

BlockMetafileNames BlockMetafileNames::scan(base::MappedFile& prn_pict) {
    return scan(prn_pict.bytes(), [&](std::size_t read) { prn_pict.release_before(read); });
}

BlockMetafileNames BlockMetafileNames::scan(std::string_view prn_pict_bytes,
                                            const std::function<void(std::size_t)>& read_to) {
    BlockMetafileNames names;
    SorbelPictReader in(prn_pict_bytes);
    std::int16_t page = 1;
    bool page_has_records = false;
    while (const auto record = in.next()) {
        if (read_to) read_to(in.offset());
        if (std::holds_alternative<PictPage>(*record)) {
            if (page == INT16_MAX) {
                throw base::RunTimeError(base::ErrorNumber::overflow,
                                         "PRN_PICT の " + std::to_string(in.offset()) +
                                             " バイト目：ページ数が 32767 を超えています");
            }
            ++page;
            page_has_records = false;
            ++names.pages_;
            continue;
        }
        page_has_records = true;
        if (const auto* block = std::get_if<SorbelPictBlock>(&*record)) {
            auto& pages = names.blocks_[block->number];
            if (pages.empty() || pages.back().page != page) pages.push_back({page, 0});
            ++pages.back().count;
        }
    }
    if (page_has_records) ++names.pages_;
    return names;
}

/* ---------------------------------------------------------------- BlockMetafileNames::name */
std::optional<std::string> BlockMetafileNames::name(std::int16_t page, std::int32_t number,
                                                    int occurrence) const {
    const auto it = blocks_.find(number);
    if (it == blocks_.end()) return std::nullopt;
    const auto& pages = it->second;
    const auto on_page =
        std::lower_bound(pages.begin(), pages.end(), page,
                         [](const PageBlocks& blocks, std::int16_t p) { return blocks.page < p; });
    if (on_page == pages.end() || on_page->page != page) return std::nullopt;
    if (occurrence < 1 || occurrence > on_page->count) return std::nullopt;
    const std::string n = std::to_string(number);
    if (pages.size() == 1 && on_page->count == 1) return n + ".emf";
    const std::string p = n + "-p" + std::to_string(page);
    if (occurrence == 1) return p + ".emf";
    return p + "-" + std::to_string(occurrence) + ".emf";
}

}  // namespace jobfiles
