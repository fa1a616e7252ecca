// A job folder for the workbook build: 12-point settings on the template beside the programs,
// text records placed by line and column, and a view that records what the window showed.
#pragma once

#include <gtest/gtest.h>
#include <stdio.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sorbel/workbook/make_xls_file.h"
#include "tests/ooxml_conformance.h"
#include "tests/platform/os/scratch_folder.h"

namespace workbook_test {

namespace fs = std::filesystem;
using test_support::ScratchFolder;

class RecordingView : public workbook::StageView {
  public:
    void set_status(const std::string& caption) override { captions.push_back(caption); }
    void start_progress(int max) override {
        maximum = max;
        value = 0;
    }
    void step_progress() override { ++value; }
    void yield() override {
        ++yields;
        if (on_yield) on_yield(*this);
    }
    bool cancel_requested() const override { return cancel; }
    void set_cancel_enabled(bool enabled) override { cancel_enabled = enabled; }
    void set_busy_pointer(bool b) override { busy = b; }
    void show_message(workbook::BoxIcon, const std::string& title,
                      const std::string& text) override {
        messages.push_back(title + "|" + text);
    }
    void add_warning(const std::string& line) override { warnings.push_back(line); }

    std::vector<std::string> captions;
    std::vector<std::string> messages;
    std::vector<std::string> warnings;
    int maximum = -1;
    int value = -1;
    int yields = 0;
    bool cancel = false;
    bool cancel_enabled = true;
    bool busy = false;
    std::function<void(RecordingView&)> on_yield;
};

// 12 points: a line is 42.333 tenths of a millimetre, a half-width column half of that.
inline constexpr double line_height = 120 * 25.4 / 72;
inline constexpr double margin_left = 150;

// A text record at a grid line and a 0-based half-width column of an untitled block.
inline std::string text_at(const char* kind, int line, int column, const std::string& text) {
    char place[64];
    std::snprintf(place, sizeof place, "%.2f,%.2f", margin_left + column * line_height / 2 + 0.01,
                  line * line_height);
    const bool two_reals = std::string(kind) == "LABEL" || std::string(kind) == "TITLE";
    return std::string(kind) + "," + place + (two_reals ? ",0,0" : "") + ",\"" + text + "\"\r\n";
}

// The lines of `dump` that start with `prefix`.
inline std::vector<std::string> facts(const std::string& dump, const std::string& prefix) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < dump.size()) {
        const auto end = dump.find('\n', start);
        const std::string line = dump.substr(start, end - start);
        if (line.starts_with(prefix)) out.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

// The header of an enhanced metafile whose frame is `width` x `height` hundredths of a
// millimetre: all the workbook build reads of a block's picture.
inline std::string metafile_header(std::uint32_t width, std::uint32_t height) {
    std::string emf(88, '\0');
    const auto put = [&](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i) emf[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(0, 1);
    put(4, 88);
    put(32, width);
    put(36, height);
    put(40, 0x464D4520);
    put(44, 0x10000);
    put(48, 88);
    put(52, 1);
    return emf;
}

inline std::string block(int number, double y1, double y2, int title = 0) {
    char header[96];
    std::snprintf(header, sizeof header, "BLOCK,%d,%g,%g,1900,%g,0,%d\r\n", number, margin_left, y1,
                  y2, title);
    return header;
}

class WorkbookBuildTest : public ::testing::Test {
  protected:
    WorkbookBuildTest() {
        fs::create_directories(job() / "META_FILE");
        settings_.job_dir = job();
        settings_.program_dir = VS_PROGRAM_DIR;
        settings_.Start_Page = 1;
        settings_.End_Page = 1;
        settings_.Xls_File = job() / "Book1.xlsx";
        settings_.Sheet_SW = 1;
        settings_.Sheet_Page = 50;
        settings_.Char_Size = 120;
        settings_.Font_Name = "MS Gothic";
        settings_.Margin_Left = margin_left;
        settings_.Margin_Top = 150;
        settings_.Margin_Right = 150;
        settings_.Margin_Bottom = 250;
        settings_.Page_Count = 1;
        settings_.Line_Pitch = 120;
        settings_.Template_File = fs::path(VS_PROGRAM_DIR) / "TMP-12P.xlsx";
        settings_.Row_Height = 12.75;
        settings_.Pict_Scale_H = 1.0625;
        settings_.Pict_Scale_W = 1;
        settings_.Pict_Offset = 0.7;
        settings_.Cell_Point = 11;
        settings_.Col_Count = 93;
        settings_.Row_Pitch = 12.75;
        pict("");
    }
    fs::path job() const { return job_.path(); }
    void chars(const std::string& records) const {
        ScratchFolder::write_file(job() / "PRN_CHAR", "PAGE,0\r\n" + records);
    }
    void pict(const std::string& records) const {
        ScratchFolder::write_file(job() / "PRN_PICT", "PRN_PICT,1\r\n" + records);
    }
    workbook::StageOutcome build() { return workbook::Make_XlsFile(settings_, view_); }

    // What the saved workbook holds, as read_workbook.py prints it, once it conforms to the
    // schemas and the package rules.
    std::string read_back() const {
        EXPECT_EQ(test_support::ooxml_violations({settings_.Xls_File}), "");
        const std::string command = "/usr/bin/python3 '" VS_SOURCE_DIR
                                    "/tests/sorbel/workbook/read_workbook.py' '" +
                                    settings_.Xls_File.string() + "' 2>&1";
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return out;
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
        return out;
    }

    ScratchFolder job_;
    workbook::WorkbookSettings settings_;
    RecordingView view_;
};

}  // namespace workbook_test
