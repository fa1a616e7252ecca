#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/run_time_error.h"
#include "jobfiles/prn_pict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        jobfiles::VarnelPictReader in(bytes);
        if (size > 0 && data[0] % 2 == 1) in.skip_page();
        while (in.next()) {
        }
    } catch (const base::RunTimeError&) {
    }
    try {
        jobfiles::SorbelPictReader in(bytes);
        while (in.next()) {
        }
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
