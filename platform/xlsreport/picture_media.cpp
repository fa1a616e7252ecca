#include "platform/xlsreport/picture_media.h"

#include <cstdint>
#include <functional>

namespace xlsreport::detail {

namespace {

std::uint32_t le32(std::string_view bytes, std::size_t at) noexcept {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

}  // namespace

/* ------------------------------------------------------------ media_kind */
std::optional<MediaKind> media_kind(std::string_view bytes) noexcept {
    // An enhanced metafile starts with its header record (type 1) that carries " EMF" at byte
    // 40; a PNG with its eight-byte signature.
    constexpr std::uint32_t emr_header = 1;
    constexpr std::uint32_t emf_signature = 0x464D4520;
    if (bytes.size() >= 88 && le32(bytes, 0) == emr_header && le32(bytes, 40) == emf_signature)
        return MediaKind::emf;
    if (bytes.starts_with(std::string_view("\x89PNG\r\n\x1A\n", 8))) return MediaKind::png;
    return std::nullopt;
}

/* ------------------------------------------------------------ media_extension */
const char* media_extension(MediaKind kind) noexcept {
    return kind == MediaKind::emf ? "emf" : "png";
}

/* ------------------------------------------------------------ media_content_type */
const char* media_content_type(MediaKind kind) noexcept {
    return kind == MediaKind::emf ? "image/x-emf" : "image/png";
}

/* ------------------------------------------------------------ MediaStore::add */
std::size_t MediaStore::add(MediaKind kind, std::string_view bytes) {
    const std::size_t hash = std::hash<std::string_view>{}(bytes);
    const auto [first, last] = by_hash_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        const Media& media = media_[it->second];
        if (media.kind == kind && media.bytes == bytes) return it->second;
    }
    media_.push_back({kind, std::string(bytes)});
    by_hash_.emplace(hash, media_.size() - 1);
    return media_.size() - 1;
}

}  // namespace xlsreport::detail
