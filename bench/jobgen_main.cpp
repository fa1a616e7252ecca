// jobgen --pages N --out DIR [--char-size TENTHS] [--line-pitch TENTHS] [--logo-every N]
// Writes a print job of N pages into DIR.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/job_generator.h"

namespace {

int usage() {
    std::cerr << "usage: jobgen --pages N --out DIR [--char-size TENTHS] [--line-pitch TENTHS] "
                 "[--logo-every N]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    jobgen::JobOptions options;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) return usage();
        const std::string value = argv[++i];
        if (arg == "--pages") {
            options.pages = std::atoi(value.c_str());
        } else if (arg == "--out") {
            out = value;
        } else if (arg == "--char-size") {
            options.char_size = std::atoi(value.c_str());
        } else if (arg == "--line-pitch") {
            options.line_pitch = std::atoi(value.c_str());
        } else if (arg == "--logo-every") {
            options.logo_every = std::atoi(value.c_str());
        } else {
            return usage();
        }
    }
    if (out.empty()) return usage();
    try {
        jobgen::write_job(jobgen::make_job(options), out);
    } catch (const std::exception& e) {
        std::cerr << "jobgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
