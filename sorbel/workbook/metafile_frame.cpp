#include "sorbel/workbook/metafile_frame.h"

#include <cstdint>

#include "base/run_time_error.h"

namespace workbook {

namespace {

std::uint32_t u32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return v;
}

std::int32_t i32(std::string_view bytes, std::size_t at) {
    return static_cast<std::int32_t>(u32(bytes, at));
}

}  // namespace

/* ---------------------------------------------------------------- metafile_frame */
PictureSize metafile_frame(std::string_view bytes) {
    // EMR_HEADER: type 1, size, bounds, frame (left, top, right, bottom), then " EMF".
    constexpr std::size_t header_size = 44;
    if (bytes.size() < header_size || u32(bytes, 0) != 1 || u32(bytes, 40) != 0x464D4520) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 "拡張メタファイル（.emf）ではありません");
    }
    const double hundredths_to_points = 72.0 / 2540.0;
    return {(static_cast<double>(i32(bytes, 32)) - i32(bytes, 24)) * hundredths_to_points,
            (static_cast<double>(i32(bytes, 36)) - i32(bytes, 28)) * hundredths_to_points};
}

}  // namespace workbook
