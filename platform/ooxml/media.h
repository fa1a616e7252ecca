// Pictures inside a package: the extension and content type of each kind the programs embed.
#pragma once

#include <optional>
#include <string_view>

namespace ooxml {

struct MediaType {
    std::string_view extension;
    std::string_view content_type;
};

inline constexpr MediaType emf_media{"emf", "image/x-emf"};
inline constexpr MediaType png_media{"png", "image/png"};
inline constexpr MediaType jpeg_media{"jpeg", "image/jpeg"};

// The kind of picture the bytes hold, told by their signature; nothing for anything else.
std::optional<MediaType> media_type_of(std::string_view bytes);

}  // namespace ooxml
