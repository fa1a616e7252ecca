// Helpers of the table tests: a job folder of their own, a conversion run, and readings of the
// converted document by programs nobody here wrote (python-docx, LibreOffice, pdftotext).
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "test_job.h"
#include "varnel/wordbuilder/word_builder.h"

namespace wordbuilder::tables {

// A job folder whose name no other test program running at the same time uses.
inline std::string unique_name(const std::string& name) {
    return "tables_" + name + "_" + std::to_string(::getpid());
}

// A job file of the table fixtures, as UTF-8 text.
inline std::string fixture(const std::string& name) {
    std::ifstream in(std::filesystem::path(VS_TEST_DATA_DIR) / "tables" / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Conversion {
    WordRunOutcome outcome = WordRunOutcome::failed;
    testing::RecordingProgress progress;
    std::filesystem::path document;
};

// Converts a job (texts as UTF-8 lines) with tables as Word tables or as drawings.
inline Conversion convert(const std::filesystem::path& folder, const std::string& prn_char,
                          const std::string& prn_pict, bool word_tables, std::int16_t pages = 1) {
    testing::write_job_file(folder / "PRN_CHAR", prn_char);
    testing::write_job_file(folder / "PRN_PICT", prn_pict);
    WordRunSettings settings = testing::settings_for(folder, pages);
    settings.Matrix_SW = word_tables;
    Conversion c;
    c.outcome = buildWordDocument(settings, c.progress);
    c.document = folder / "文書.docx";
    return c;
}

// The output lines of a shell command.
inline std::vector<std::string> command_lines(const std::string& command) {
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
    if (!line.empty()) lines.push_back(line);
    return lines;
}

inline std::vector<std::string> split(const std::string& line, char separator = '|') {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == separator) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

struct CellDump {
    std::string width, span;                         // twips; grid columns
    std::string top, left, bottom, right, down, up;  // borders: "single:4", "nil" or "-"
    std::string margins, valign, jc, text, runs;
};
struct RowDump {
    std::string height, rule;
    std::vector<CellDump> cells;
};
struct TableDump {
    std::string indent, grid;
    std::vector<RowDump> rows;
};
struct DocumentDump {
    std::vector<std::string> body;  // "P|<spacing>|<text>" per paragraph, "T" per table
    std::vector<TableDump> tables;
    std::vector<std::vector<std::string>> anchors;  // the fields of the "A" lines
};

// The document as table_dump.py reads it, once it conforms to the schemas and package rules.
inline DocumentDump dump_document(const std::filesystem::path& docx) {
    EXPECT_EQ(test_support::ooxml_violations({docx}), "");
    DocumentDump d;
    for (const std::string& line :
         command_lines(std::string("/usr/bin/python3 '") + VS_SOURCE_DIR +
                       "/tests/varnel/wordbuilder/table_dump.py' '" + docx.string() + "'")) {
        const std::vector<std::string> f = split(line);
        if (f[0] == "P") {
            d.body.push_back(line);
        } else if (f[0] == "T" && f.size() == 3) {
            d.body.push_back("T");
            d.tables.push_back({f[1], f[2], {}});
        } else if (f[0] == "R" && f.size() == 3 && !d.tables.empty()) {
            d.tables.back().rows.push_back({f[1], f[2], {}});
        } else if (f[0] == "C" && f.size() == 14 && !d.tables.empty() &&
                   !d.tables.back().rows.empty()) {
            d.tables.back().rows.back().cells.push_back(
                {f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12], f[13]});
        } else if (f[0] == "A") {
            d.anchors.push_back(f);
        }
    }
    return d;
}

struct RenderedWord {
    std::string text;
    double x_min = 0, y_min = 0, x_max = 0, y_max = 0;  // points from the page's top-left
};

// Renders the document's first page with LibreOffice (a profile of its own in `work`) and
// returns the words pdftotext finds on it.
inline std::vector<RenderedWord> render_first_page(const std::filesystem::path& docx,
                                                   const std::filesystem::path& work) {
    std::filesystem::create_directories(work);
    const std::string quiet = " >/dev/null 2>&1";
    const std::string convert = "FONTCONFIG_FILE=" VS_SOURCE_DIR
                                "/tests/data/fontconfig/fonts.conf soffice "
                                "-env:UserInstallation=file://" +
                                (work / "profile").string() +
                                " --headless --convert-to pdf --outdir '" + work.string() + "' '" +
                                docx.string() + "'" + quiet;
    if (std::system(convert.c_str()) != 0) return {};
    const std::filesystem::path pdf = work / (docx.stem().string() + ".pdf");
    // pdftotext puts one word a line: <word xMin=".." yMin=".." xMax=".." yMax="..">text</word>
    const auto attribute = [](const std::string& line, const std::string& name) {
        const std::size_t at = line.find(name + "=\"");
        return at == std::string::npos ? 0.0 : std::stod(line.substr(at + name.size() + 2));
    };
    std::vector<RenderedWord> words;
    for (const auto& line : command_lines("pdftotext -f 1 -l 1 -bbox '" + pdf.string() + "' -")) {
        const std::size_t open = line.find("<word ");
        const std::size_t text = line.find('>', open);
        const std::size_t close = line.find("</word>", text);
        if (open == std::string::npos || close == std::string::npos) continue;
        words.push_back({line.substr(text + 1, close - text - 1), attribute(line, "xMin"),
                         attribute(line, "yMin"), attribute(line, "xMax"),
                         attribute(line, "yMax")});
    }
    return words;
}

inline const RenderedWord* find_word(const std::vector<RenderedWord>& words,
                                     const std::string& text) {
    for (const auto& w : words) {
        if (w.text == text) return &w;
    }
    return nullptr;
}

}  // namespace wordbuilder::tables
