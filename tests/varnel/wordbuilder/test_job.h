// Small hand-made print jobs and a progress window that records what the run shows.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "tests/ooxml_conformance.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder::testing {

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name)
        // The process id keeps test runs of other builds on the machine out of the folder.
        : path_(std::filesystem::temp_directory_path() /
                ("wordbuilder_" + name + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "META_FILE");
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Writes UTF-8 test text as the host writes job files: CP932, CR LF line ends.
inline void write_job_file(const std::filesystem::path& file, const std::string& utf8_lines) {
    std::string bytes;
    for (char c : cp932::from_utf8(utf8_lines)) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    std::ofstream(file, std::ios::binary) << bytes;
}

class RecordingProgress : public ProgressView {
  public:
    void set_page_label(const std::string& caption) override { labels.push_back(caption); }
    void set_progress_value(int value) override { progress = value; }
    std::string document_file_name() const override { return file_name; }
    void set_document_file_name(const std::string& name) override { file_name = name; }
    void add_warning(const std::string& line) override { warnings.push_back(line); }
    bool cancel_requested() const override { return cancel; }
    void yield() override {
        if (cancel_after_yields >= 0 && ++yields >= cancel_after_yields) cancel = true;
    }
    void show_message(const std::string& title, const std::string& text) override {
        messages.push_back(title + "|" + text);
    }

    std::string file_name = "文書.docx";
    std::vector<std::string> labels;
    std::vector<std::string> warnings;
    std::vector<std::string> messages;
    int progress = 0;
    bool cancel = false;
    int cancel_after_yields = -1;
    int yields = 0;
};

// Settings of a 10.5 pt job with 20 mm margins and a 12 pt line pitch.
inline WordRunSettings settings_for(const std::filesystem::path& job_dir, std::int16_t pages) {
    WordRunSettings settings;
    settings.job_dir = job_dir;
    settings.Char_Size = 10.5f;
    settings.Font_Name = cp932::from_utf8("ＭＳ 明朝");
    settings.Margin_Left = 200;
    settings.Margin_Top = 200;
    settings.Margin_Right = 200;
    settings.Margin_Bottom = 200;
    settings.Page_Count = pages;
    settings.Line_Pitch = 12;
    settings.Start_Page = 1;
    settings.End_Page = pages;
    settings.Doc_Name = "文書";
    settings.path_txt = job_dir;
    return settings;
}

// The body of a .docx, one line per element, as python-docx reads it (see dump_docx.py). The
// document must conform to the schemas and the package rules.
inline std::vector<std::string> dump_docx(const std::filesystem::path& file) {
    EXPECT_EQ(test_support::ooxml_violations({file}), "");
    const std::string command = std::string("/usr/bin/python3 '") + VS_SOURCE_DIR +
                                "/tests/varnel/wordbuilder/dump_docx.py' '" + file.string() + "'";
    std::vector<std::string> lines;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return lines;
    std::string line;
    for (int c; (c = std::fgetc(pipe.get())) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    return lines;
}

}  // namespace wordbuilder::testing
