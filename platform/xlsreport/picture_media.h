// The pictures a workbook carries: each distinct picture once, as a media part.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace xlsreport::detail {

enum class MediaKind { emf, png };

// The kind of picture the bytes hold, by their own header; nothing for anything else.
std::optional<MediaKind> media_kind(std::string_view bytes) noexcept;

const char* media_extension(MediaKind kind) noexcept;     // "emf"
const char* media_content_type(MediaKind kind) noexcept;  // "image/x-emf"

class MediaStore {
  public:
    struct Media {
        MediaKind kind;
        std::string bytes;
    };

    // Index of the media holding exactly these bytes, added when new.
    std::size_t add(MediaKind kind, std::string_view bytes);
    const std::vector<Media>& all() const noexcept { return media_; }

  private:
    std::vector<Media> media_;
    std::unordered_multimap<std::size_t, std::size_t> by_hash_;
};

}  // namespace xlsreport::detail
