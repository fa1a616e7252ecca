#include "platform/xlsreport/picture_media.h"

#include <functional>

namespace xlsreport::detail {

/* ------------------------------------------------------------ MediaStore::add */
std::size_t MediaStore::add(const ooxml::MediaType& type, std::string_view bytes) {
    // The same logo on every page is stored once.
    const std::size_t hash = std::hash<std::string_view>{}(bytes);
    const auto [first, last] = by_hash_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (media_[it->second].bytes == bytes) return it->second;
    }
    media_.push_back({type, std::string(bytes)});
    by_hash_.emplace(hash, media_.size() - 1);
    return media_.size() - 1;
}

}  // namespace xlsreport::detail
