// Writes realistic print jobs (a Japanese company's monthly sales report) of any page count:
// the bundled sample, benchmark input and end-to-end test input. Output is deterministic.
#pragma once

#include <filesystem>
#include <string>

namespace jobgen {

struct JobOptions {
    int pages = 5;
    int char_size = 105;   // tenths of a point
    int line_pitch = 120;  // tenths of a point, a whole number of points
    int logo_every = 0;  // the logo heads page 1 and also pages 1 + n, 1 + 2n, ... (0: page 1 only)
};

// The files of one job, as bytes (CP932 text, CR LF line ends).
struct Job {
    std::string prn_mode;
    std::string prn_char;
    std::string prn_pict;
    std::string bitmap;  // the company logo the PICTURE records name
};

// The bitmap's file name in the job folder; PICTURE records name it relative to that folder.
inline constexpr const char* bitmap_name = "logo.bmp";

Job make_job(const JobOptions& options);

// Writes PRN_MODE, PRN_CHAR, PRN_PICT, the bitmap and an empty META_FILE/ (kept by .gitkeep).
void write_job(const Job& job, const std::filesystem::path& folder);

}  // namespace jobgen
