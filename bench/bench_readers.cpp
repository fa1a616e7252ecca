// Reader throughput over a generated 1000-page job, in memory (no file I/O is timed).
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/job_generator.h"
#include "jobfiles/prn_char.h"
#include "jobfiles/prn_pict.h"

namespace {

// The Word converter's way through PRN_CHAR: a keyword, then the record it names.
std::size_t step_by_step(std::string_view bytes) {
    jobfiles::PrnCharReader in(bytes);
    std::size_t records = 0;
    in.skip_line();
    in.read_first_block_header();
    while (!in.at_end()) {
        const std::string_view keyword = in.read_keyword();
        ++records;
        if (const auto kind = jobfiles::text_kind(keyword)) {
            in.read_text_record(*kind);
        } else if (keyword == "MATRIX") {
            jobfiles::MatrixHeader h = in.read_matrix_header();
            in.read_matrix_widths(h);
            for (int i = 0; i < h.m1 * h.m2; ++i) in.read_cell_line();
        } else if (keyword == "BLOCK") {
            in.read_block_header();
        } else if (keyword == "PAGE") {
            if (in.at_end()) break;
            in.read_rest_of_line();
        }
    }
    return records;
}

template <typename Reader>
std::size_t whole_records(std::string_view bytes) {
    Reader in(bytes);
    std::size_t records = 0;
    while (in.next()) ++records;
    return records;
}

void measure(const char* name, std::string_view bytes,
             const std::function<std::size_t(std::string_view)>& pass) {
    constexpr int rounds = 5;
    double best = 1e9;
    std::size_t records = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        records = pass(bytes);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    const double mb = static_cast<double>(bytes.size()) / 1e6;
    std::printf("%-34s %8.2f MB %9zu records %8.1f ms %8.1f MB/s\n", name, mb, records, best * 1e3,
                mb / best);
}

}  // namespace

int main() {
    jobgen::JobOptions options;
    options.pages = 1000;
    const jobgen::Job job = jobgen::make_job(options);
    measure("PRN_CHAR step by step (Word)", job.prn_char, step_by_step);
    measure("PRN_CHAR whole records (workbook)", job.prn_char,
            whole_records<jobfiles::SorbelCharReader>);
    measure("PRN_PICT Word converter", job.prn_pict, whole_records<jobfiles::VarnelPictReader>);
    measure("PRN_PICT workbook route", job.prn_pict, whole_records<jobfiles::SorbelPictReader>);
    return 0;
}
