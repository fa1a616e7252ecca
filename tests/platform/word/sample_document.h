// A document built the way the Word document builder builds one, for the round-trip checks:
// two pages of grid lines with a title, script runs, a ruled table moved in from a scratch
// document, and two floating pictures behind the text.
#pragma once

#include <filesystem>
#include <string>

#include "platform/word/word.h"

namespace word_test {

// Points of the sample's layout the checks compare against.
inline constexpr float margin_mm = 20.0f;
inline constexpr float char_size = 10.5f;
inline constexpr int lines_per_page = 60;
inline constexpr int marker_column = 11;  // 1-based column of "MARK" on page 2, line 3

// Writes picture.emf and picture.bmp into `dir`, builds the sample and saves it as
// dir/sample.docx; returns that path.
std::filesystem::path build_sample(const std::filesystem::path& dir);

// A fresh empty folder for one test.
std::filesystem::path fresh_folder(const std::string& name);

// A 2 x 2 24-bit bitmap: red, green / blue, white (top row first).
std::string small_bitmap();
// An enhanced metafile with no drawing and a frame of width x height hundredths of a mm.
std::string empty_metafile(int width, int height);

// Runs a shell command; returns its exit status, output in `output`.
int run(const std::string& command, std::string& output);

}  // namespace word_test
