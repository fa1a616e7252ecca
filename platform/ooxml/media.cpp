#include "platform/ooxml/media.h"

namespace ooxml {

/* ---------------------------------------------------------------- media_type_of */
// An enhanced metafile opens with its header record (type 1) whose signature " EMF" sits at
// byte 40.
std::optional<MediaType> media_type_of(std::string_view bytes) {
    if (bytes.starts_with("\x89PNG\r\n\x1a\n")) return png_media;
    if (bytes.starts_with("\xFF\xD8\xFF")) return jpeg_media;
    if (bytes.size() >= 44 && bytes.starts_with(std::string_view("\x01\0\0\0", 4)) &&
        bytes.substr(40, 4) == " EMF") {
        return emf_media;
    }
    return std::nullopt;
}

}  // namespace ooxml
