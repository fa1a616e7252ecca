// The size of a block's figures as the workbook shows them: the frame of its metafile.
#pragma once

#include <string_view>

namespace workbook {

struct PictureSize {
    double width = 0;  // points
    double height = 0;
};

// The frame rectangle of an enhanced metafile's header (0.01 mm) in points. A file too short
// for a header, or not an enhanced metafile, raises base::RunTimeError (invalid call).
PictureSize metafile_frame(std::string_view bytes);

}  // namespace workbook
