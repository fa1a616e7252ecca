#include "platform/xlsreport/picture_media.h"

#include <functional>

namespace xlsreport::detail {

namespace {

constexpr std::size_t recent_limit = std::size_t{4} << 20;

}  // namespace

/* ------------------------------------------------------------ MediaStore::add */
std::size_t MediaStore::add(const ooxml::MediaType& type, std::string_view bytes) {
    // The same logo on every page is stored once.
    const std::size_t hash = std::hash<std::string_view>{}(bytes);
    const auto [first, last] = by_hash_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (holds(it->second, bytes)) return it->second;
    }
    const std::size_t index = media_.size();
    media_.push_back({type, {}});
    spool_.deflate(std::string(bytes), media_.back().part);
    media_.back().given = spool_.last_given();
    by_hash_.emplace(hash, index);
    recent_.emplace_back(index, std::string(bytes));
    recent_bytes_ += bytes.size();
    while (recent_bytes_ > recent_limit && recent_.size() > 1) {
        recent_bytes_ -= recent_.front().second.size();
        recent_.pop_front();
    }
    return index;
}

/* ------------------------------------------------------------ MediaStore::holds */
bool MediaStore::holds(std::size_t index, std::string_view bytes) {
    for (const auto& [kept, kept_bytes] : recent_) {
        if (kept == index) return kept_bytes == bytes;
    }
    // Only that picture's deflate is waited for, not the sheets queued since.
    return spool_.inflate(media_[index].part, media_[index].given) == bytes;
}

}  // namespace xlsreport::detail
