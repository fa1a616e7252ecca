// The pictures a workbook carries: each distinct picture once, as a media part. A picture is
// deflated into the workbook's spool when it is first drawn, so a long report's pictures wait
// for the save on disk, not in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ooxml/media.h"
#include "platform/ooxml/part_spool.h"

namespace xlsreport::detail {

class MediaStore {
  public:
    struct Media {
        ooxml::MediaType type;
        ooxml::SpooledPart part;  // complete once the spool's work numbered `given` is done
        std::uint64_t given = 0;
    };

    explicit MediaStore(ooxml::PartSpool& spool) : spool_(spool) {}
    // The spool's thread may still be filling in the parts: they stay until it is done.
    ~MediaStore() { spool_.drain(); }
    MediaStore(const MediaStore&) = delete;
    MediaStore& operator=(const MediaStore&) = delete;

    // Index of the media holding exactly these bytes, added when new.
    std::size_t add(const ooxml::MediaType& type, std::string_view bytes);
    const std::deque<Media>& all() const noexcept { return media_; }

  private:
    // Whether media `index` holds exactly `bytes`: compared with the bytes of the pictures
    // drawn last, which are kept, or else with the picture inflated from the spool.
    bool holds(std::size_t index, std::string_view bytes);

    ooxml::PartSpool& spool_;
    std::deque<Media> media_;  // the spool fills in each part where it stands
    std::unordered_multimap<std::size_t, std::size_t> by_hash_;
    // The bytes of the latest media, newest last, a few megabytes in all: a picture drawn again
    // is nearly always one drawn a moment ago (the logo of the page before).
    std::deque<std::pair<std::size_t, std::string>> recent_;
    std::size_t recent_bytes_ = 0;
};

}  // namespace xlsreport::detail
