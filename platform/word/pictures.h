// Picture files for floating shapes: read once, sniffed by content, sized as Word sizes them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/word/model.h"

namespace word::detail {

// Reads `file` and makes it embeddable. A missing or unreadable file, or one that is no
// picture, is a RunTimeError.
std::shared_ptr<const Picture> load_picture(const std::filesystem::path& file);

// The same over bytes already read; `name` only names the file in errors.
Picture picture_from_bytes(std::string bytes, const std::string& name);

}  // namespace word::detail
