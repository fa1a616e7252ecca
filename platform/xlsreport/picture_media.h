// The pictures a workbook carries: each distinct picture once, as a media part.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ooxml/media.h"

namespace xlsreport::detail {

class MediaStore {
  public:
    struct Media {
        ooxml::MediaType type;
        std::string bytes;
    };

    // Index of the media holding exactly these bytes, added when new.
    std::size_t add(const ooxml::MediaType& type, std::string_view bytes);
    const std::vector<Media>& all() const noexcept { return media_; }

  private:
    std::vector<Media> media_;
    std::unordered_multimap<std::size_t, std::size_t> by_hash_;
};

}  // namespace xlsreport::detail
