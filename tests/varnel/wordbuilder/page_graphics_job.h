// Runs small jobs through the Word route and reads back what their figures became: the
// floating pictures of the saved document and the block metafiles left in META_FILE/.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "test_job.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder::testing {

// A floating picture as page_graphics_shapes.py reads it from word/document.xml.
struct FloatingPicture {
    int page = 0;
    bool behind_text = false;
    std::string wrap;
    std::string horizontal_from;
    double left_mm = 0;
    std::string vertical_from;
    double top_mm = 0;
    double width_mm = 0;
    double height_mm = 0;
    std::string media;  // "emf" or "png WxH"
    long long z = 0;    // relativeHeight: higher lies above
};

inline std::vector<FloatingPicture> floating_pictures(const std::filesystem::path& docx) {
    EXPECT_EQ(test_support::ooxml_violations({docx}), "");
    const std::string command = std::string("/usr/bin/python3 '") + VS_SOURCE_DIR +
                                "/tests/varnel/wordbuilder/page_graphics_shapes.py' '" +
                                docx.string() + "'";
    std::vector<FloatingPicture> pictures;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return pictures;
    std::string output;
    for (int c; (c = std::fgetc(pipe.get())) != EOF;) output += static_cast<char>(c);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '|');) f.push_back(field);
        if (f.size() != 9 || f[0] != "A") continue;
        FloatingPicture p;
        p.page = std::stoi(f[1]);
        p.behind_text = f[2] == "1";
        p.wrap = f[3];
        p.horizontal_from = f[4].substr(0, f[4].find(':'));
        p.left_mm = std::stod(f[4].substr(f[4].find(':') + 1));
        p.vertical_from = f[5].substr(0, f[5].find(':'));
        p.top_mm = std::stod(f[5].substr(f[5].find(':') + 1));
        p.width_mm = std::stod(f[6].substr(0, f[6].find('x')));
        p.height_mm = std::stod(f[6].substr(f[6].find('x') + 1));
        p.media = f[7];
        p.z = std::stoll(f[8]);
        pictures.push_back(p);
    }
    return pictures;
}

// A job in a folder of its own (per process, so that two builds may run the tests at once): write
// PRN_CHAR and PRN_PICT (UTF-8 test text, one page per "PAGE"), adjust the settings, convert.
class GraphicsJob {
  public:
    GraphicsJob(const std::string& name, int pages)
        : folder_("graphics_" + name + "_" + std::to_string(::getpid())),
          settings(settings_for(folder_.path(), static_cast<std::int16_t>(pages))) {}

    WordRunOutcome convert(const std::string& text, const std::string& pict) {
        write_job_file(folder_.path() / "PRN_CHAR", text);
        write_job_file(folder_.path() / "PRN_PICT", pict);
        return buildWordDocument(settings, progress);
    }

    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path docx() const { return folder_.path() / "文書.docx"; }
    std::filesystem::path metafile(int block) const {
        return folder_.path() / "META_FILE" / (std::to_string(block) + ".emf");
    }
    std::vector<FloatingPicture> pictures() const { return floating_pictures(docx()); }

  private:
    TempFolder folder_;

  public:
    WordRunSettings settings;
    RecordingProgress progress;
};

// The bitmap fixture: 8 x 4 pixels, 24 bits.
inline std::string mark_bmp() {
    return std::string(VS_TEST_DATA_DIR) + "/graphics/mark.bmp";
}

}  // namespace wordbuilder::testing
