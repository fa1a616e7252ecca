#include <cstddef>
#include <cstdint>
#include <span>

#include "base/run_time_error.h"
#include "platform/raster/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const raster::Bitmap bitmap = raster::decode_bmp(std::span<const std::uint8_t>(data, size));
        (void)bitmap;
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
