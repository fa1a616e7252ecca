#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/run_time_error.h"
#include "jobfiles/prn_char.h"

namespace {

// The Word converter's page loop, starting at the page the first byte picks.
void step_by_step(std::string_view bytes) {
    jobfiles::PrnCharReader in(bytes);
    in.skip_line();
    const int pages_to_skip = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 3;
    for (int i = 0; i < pages_to_skip; ++i) in.skip_page();
    in.read_first_block_header();
    while (!in.at_end()) {
        const std::string_view keyword = in.read_keyword();
        if (const auto kind = jobfiles::text_kind(keyword)) {
            in.read_text_record(*kind);
        } else if (keyword == "MATRIX") {
            jobfiles::MatrixHeader h = in.read_matrix_header();
            if (h.m3 % 2 == 0) {
                in.read_matrix_widths(h);
            } else {
                in.read_rest_of_line();
            }
            for (int i = 0; i < h.m1 * h.m2; ++i) in.read_cell_line();
        } else if (keyword == "BLOCK") {
            in.read_block_header();
        } else if (keyword == "PAGE") {
            if (in.at_end()) break;
            in.read_rest_of_line();
        }
    }
}

void whole_records(std::string_view bytes) {
    jobfiles::SorbelCharReader in(bytes);
    while (in.next()) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        step_by_step(bytes);
    } catch (const base::RunTimeError&) {
    }
    try {
        whole_records(bytes);
    } catch (const base::RunTimeError&) {
    }
    return 0;
}
