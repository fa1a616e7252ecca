#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/run_time_error.h"
#include "jobfiles/prn_mode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        jobfiles::parse_varnel_prn_mode(bytes);
    } catch (const base::RunTimeError&) {
    }
    try {
        jobfiles::parse_sorbel_prn_mode(bytes);
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
